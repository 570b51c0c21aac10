// Message boxes of the dialog model: answered by the driver's handler, or
// printed on stderr when no front end has installed one.
#include "platform/model/dialog_model.h"
#include "common/utf8.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

namespace {

std::mutex handlerMutex;
MessageBoxHandler handler;

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler newHandler) {
  std::lock_guard lock(handlerMutex);
  handler = std::move(newHandler);
}

int ShowMessageBox(DialogHandle owner, const char16_t* text, const char16_t* caption,
                   unsigned flags, const char16_t* detail) {
  const std::u16string body = text ? text : u"";
  const std::u16string title = caption ? caption : u"";
  const std::u16string under = detail ? detail : u"";
  MessageBoxHandler current;
  {
    std::lock_guard lock(handlerMutex);
    current = handler;
  }
  if (current) return current(owner, body, title, flags, under);
  std::string out = utf8::Utf16ToUtf8(title) + " " + utf8::Utf16ToUtf8(body) + "\n";
  if (!under.empty()) out += utf8::Utf16ToUtf8(under) + "\n";
  std::fputs(out.c_str(), stderr);
  return DefaultMessageBoxAnswer(flags);
}

struct MessageBoxRecorder::State {
  mutable std::mutex mutex;
  mutable std::condition_variable shown;
  std::deque<int> answers;
  std::vector<RecordedMessageBox> boxes;
};

MessageBoxRecorder::MessageBoxRecorder() : state_(std::make_shared<State>()) {
  SetMessageBoxHandler([state = state_](DialogHandle owner, const std::u16string& text,
                                        const std::u16string& caption, unsigned flags,
                                        const std::u16string& detail) {
    std::lock_guard lock(state->mutex);
    int answer = DefaultMessageBoxAnswer(flags);
    if (!state->answers.empty()) {
      answer = state->answers.front();
      state->answers.pop_front();
    }
    state->boxes.push_back(RecordedMessageBox{owner, text, caption, flags, answer, detail});
    state->shown.notify_all();
    return answer;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler({}); }

void MessageBoxRecorder::QueueAnswer(int button) {
  std::lock_guard lock(state_->mutex);
  state_->answers.push_back(button);
}

std::vector<RecordedMessageBox> MessageBoxRecorder::Boxes() const {
  std::lock_guard lock(state_->mutex);
  return state_->boxes;
}

bool MessageBoxRecorder::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(state_->mutex);
  return state_->shown.wait_for(lock, timeout, [&] { return state_->boxes.size() >= count; });
}

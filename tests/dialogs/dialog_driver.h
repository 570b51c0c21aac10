// Test helpers: a modal dialog on its own thread, and a procedure that records
// the messages it receives.
#pragma once

#include "common/utf8.h"
#include "platform/model/dialog_model.h"

#include <chrono>
#include <future>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

inline constexpr std::chrono::seconds kPatience{20};

// UTF-16 text as gtest can print and compare it.
inline std::string Narrow(std::u16string_view text) { return utf8::Utf16ToUtf8(text); }

struct ReceivedMessage {
  unsigned message;
  uintptr_t wParam;
  intptr_t lParam;
  bool operator==(const ReceivedMessage&) const = default;
};

inline void PrintTo(const ReceivedMessage& m, std::ostream* out) {
  *out << "{message 0x" << std::hex << m.message << ", wParam 0x" << m.wParam << std::dec
       << ", lParam " << m.lParam << "}";
}

// Messages that the recording procedures saw, in order.
class MessageLog {
 public:
  void Add(unsigned message, uintptr_t wParam, intptr_t lParam) {
    std::lock_guard lock(mutex_);
    messages_.push_back({message, wParam, lParam});
  }
  std::vector<ReceivedMessage> Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  std::vector<unsigned> Kinds() const {
    std::vector<unsigned> kinds;
    for (const ReceivedMessage& m : Messages()) kinds.push_back(m.message);
    return kinds;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<ReceivedMessage> messages_;
};

// Runs a modal dialog on a thread of its own; the test thread drives it.
inline std::future<intptr_t> StartDialog(int templateId, DialogProc proc, intptr_t initParam = 0,
                                         DialogHandle owner = nullptr) {
  return std::async(std::launch::async,
                    [=] { return RunModalDialog(templateId, owner, proc, initParam); });
}

// Waits for the modal run to return; -999 when it does not within kPatience
// (then every dialog is ended, so that a failing test does not hang).
inline intptr_t Finish(std::future<intptr_t>& run) {
  if (run.wait_for(kPatience) == std::future_status::ready) return run.get();
  while (DialogHandle stuck = ModelActiveDialog()) {
    EndDialogWith(stuck, -999);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.wait();
  return -999;
}

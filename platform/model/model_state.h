// Inside of the dialog model: running dialogs and the message queue, under one lock.
#pragma once

#include "platform/model/dialog_model.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct DialogObject {
  ModelDialog state;
  DialogProc proc = nullptr;
  std::thread::id thread;  // the thread whose modal loop runs the procedure
  bool shown = false;      // initialised: drivers see it from now on
};

namespace model_detail {

struct Reply {
  bool done = false;
  intptr_t result = 0;
};

struct Message {
  DialogObject* dialog;
  unsigned message;
  uintptr_t wParam;
  intptr_t lParam;
  Reply* reply;  // set for a message sent from another thread
};

struct Registry {
  std::mutex mutex;
  std::condition_variable changed;     // queue, dialog list, ends and replies
  std::vector<DialogObject*> running;  // in start order: the last is on top
  std::deque<Message> queue;
  ModelObserver observer;
};

Registry& Model();
// The running dialog behind a handle, or nullptr; the caller holds the lock.
DialogObject* Live(DialogHandle handle);
ModelControl* FindControl(DialogObject* dialog, int controlId);
// Tells the observer, outside the lock.
void Notify(ModelEvent::Kind kind, DialogHandle dialog, int controlId = 0);

// Runs `action` on a live dialog's control under the lock, then tells the
// observer when `action` reported a change. False when there is no such control.
template <typename Action>
bool ChangeControl(DialogHandle handle, int controlId, Action action) {
  bool changed = false;
  {
    std::lock_guard lock(Model().mutex);
    DialogObject* dialog = Live(handle);
    ModelControl* control = dialog ? FindControl(dialog, controlId) : nullptr;
    if (!control) return false;
    changed = action(*control);
  }
  if (changed) Notify(ModelEvent::ControlChanged, handle, controlId);
  return true;
}

// Reads a live dialog's control under the lock; `fallback` when there is none.
template <typename Result, typename Reader>
Result ReadControl(DialogHandle handle, int controlId, Result fallback, Reader reader) {
  std::lock_guard lock(Model().mutex);
  DialogObject* dialog = Live(handle);
  const ModelControl* control = dialog ? FindControl(dialog, controlId) : nullptr;
  return control ? reader(*control) : fallback;
}

// Copies at most capacity-1 units and a terminator; returns the count copied.
int CopyText(const std::u16string& text, char16_t* buffer, int capacity);

}  // namespace model_detail

namespace model_detail {
// Changes a live dialog's own state under the lock, then tells the observer.
bool ChangeDialogState(DialogHandle handle, const std::function<bool(ModelDialog&)>& change);
}  // namespace model_detail

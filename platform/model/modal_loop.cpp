// Modal runs of the dialog model: the procedure gets WM_INITDIALOG, then every
// queued message for its thread's dialogs until the dialog is ended.
#include "platform/model/model_state.h"
#include "resources/resources.h"

#include <algorithm>
#include <memory>

using namespace model_detail;

namespace {

ModelControlKind KindOf(const ControlTemplate& control) {
  switch (control.controlClass) {
    case ControlClass::Static:
      return (control.style & 0x1F) == kSsBitmap ? ModelControlKind::Bitmap
                                                 : ModelControlKind::Static;
    case ControlClass::Button: {
      const uint32_t type = control.style & 0xF;
      return type == 2 || type == kBsAutoCheckBox ? ModelControlKind::CheckBox
                                                  : ModelControlKind::Button;
    }
    case ControlClass::Edit: return ModelControlKind::Edit;
    case ControlClass::ComboBox:
      return (control.style & 3) == kCbsDropDownList ? ModelControlKind::ComboList
                                                     : ModelControlKind::Combo;
    case ControlClass::ListBox: return ModelControlKind::ListBox;
  }
  return ModelControlKind::Static;
}

std::unique_ptr<DialogObject> Instantiate(const DialogTemplate& source, DialogHandle owner,
                                          DialogProc proc) {
  auto dialog = std::make_unique<DialogObject>();
  dialog->proc = proc;
  dialog->thread = std::this_thread::get_id();
  ModelDialog& state = dialog->state;
  state.handle = dialog.get();
  state.templateId = source.id;
  state.owner = owner;
  state.title = source.title;
  for (const ControlTemplate& item : source.controls) {
    ModelControl control;
    control.id = item.id;
    control.kind = KindOf(item);
    control.text = item.text;
    control.enabled = (item.style & kWsDisabled) == 0;
    control.tabStop = (item.style & kWsTabStop) != 0;
    control.imageId = item.imageId;
    state.controls.push_back(std::move(control));
  }
  return dialog;
}

// A dialog procedure with the dialog manager's default for WM_CLOSE: an
// unhandled close becomes Cancel, as DefDlgProc does.
intptr_t Deliver(DialogObject* dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  const intptr_t result = dialog->proc(dialog, message, wParam, lParam);
  if (message == kWmClose && result == 0) {
    bool ended;
    {
      std::lock_guard lock(Model().mutex);
      ended = dialog->state.ended;
    }
    if (!ended) dialog->proc(dialog, kWmCommand, MakeWParam(kIdCancel, kBnClicked), 0);
  }
  return result;
}

// The default focus of a procedure that returned TRUE to WM_INITDIALOG.
void FocusFirstTabStop(DialogObject* dialog) {
  std::lock_guard lock(Model().mutex);
  for (const ModelControl& control : dialog->state.controls) {
    if (control.tabStop && control.enabled) {
      dialog->state.focusId = control.id;
      return;
    }
  }
}

// Takes the next message for a dialog of this thread, waiting for one; false
// once `dialog` has ended.
bool NextMessage(std::unique_lock<std::mutex>& lock, DialogObject* dialog, Message& out) {
  Registry& model = Model();
  const auto self = std::this_thread::get_id();
  for (;;) {
    if (dialog->state.ended) return false;
    auto found = std::find_if(model.queue.begin(), model.queue.end(),
                              [&](const Message& m) { return m.dialog->thread == self; });
    if (found != model.queue.end()) {
      out = *found;
      model.queue.erase(found);
      return true;
    }
    model.changed.wait(lock);
  }
}

void Dispatch(const Message& message) {
  const intptr_t result = Deliver(message.dialog, message.message, message.wParam, message.lParam);
  if (message.reply) {
    std::lock_guard lock(Model().mutex);
    message.reply->result = result;
    message.reply->done = true;
    Model().changed.notify_all();
  }
}

// Takes a finished dialog off the list; messages still queued for it are
// dropped and their senders released with 0.
void Retire(DialogObject* dialog) {
  Registry& model = Model();
  std::lock_guard lock(model.mutex);
  std::erase(model.running, dialog);
  std::erase_if(model.queue, [&](const Message& m) {
    if (m.dialog != dialog) return false;
    if (m.reply) m.reply->done = true;
    return true;
  });
  model.changed.notify_all();
}

}  // namespace

intptr_t RunModalDialog(int templateId, DialogHandle owner, DialogProc proc, intptr_t initParam) {
  const DialogTemplate* source = FindDialogTemplate(templateId);
  if (!source || !proc) return -1;
  std::unique_ptr<DialogObject> dialog = Instantiate(*source, owner, proc);
  DialogObject* self = dialog.get();
  {
    std::lock_guard lock(Model().mutex);
    Model().running.push_back(self);
  }
  if (self->proc(self, kWmInitDialog, 0, initParam) != 0) FocusFirstTabStop(self);
  PostDialogMessage(self, kWmActivate, kWaActive, 0);
  // The observer learns of the dialog before any driver can act on it.
  Notify(ModelEvent::DialogStarted, self);
  {
    std::lock_guard lock(Model().mutex);
    self->shown = true;
    Model().changed.notify_all();
  }
  {
    std::unique_lock lock(Model().mutex);
    Message message{};
    while (NextMessage(lock, self, message)) {
      lock.unlock();
      Dispatch(message);
      lock.lock();
    }
  }
  self->proc(self, kWmDestroy, 0, 0);
  intptr_t result;
  {
    std::lock_guard lock(Model().mutex);
    result = self->state.result;
  }
  Retire(self);
  Notify(ModelEvent::DialogEnded, self);
  if (owner) PostDialogMessage(owner, kWmActivate, kWaActive, 0);
  return result;
}

bool EndDialogWith(DialogHandle handle, intptr_t result) {
  {
    std::lock_guard lock(Model().mutex);
    DialogObject* dialog = Live(handle);
    if (!dialog || dialog->state.ended) return false;
    dialog->state.ended = true;
    dialog->state.result = result;
    Model().changed.notify_all();
  }
  Notify(ModelEvent::DialogChanged, handle);
  return true;
}

bool DestroyDialog(DialogHandle dialog) { return EndDialogWith(dialog, 0); }

bool PostDialogMessage(DialogHandle handle, unsigned message, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard lock(Model().mutex);
  DialogObject* dialog = Live(handle);
  if (!dialog || dialog->state.ended) return false;
  Model().queue.push_back(Message{dialog, message, wParam, lParam, nullptr});
  Model().changed.notify_all();
  return true;
}

intptr_t SendDialogMessage(DialogHandle handle, unsigned message, uintptr_t wParam,
                           intptr_t lParam) {
  Registry& model = Model();
  std::unique_lock lock(model.mutex);
  DialogObject* dialog = Live(handle);
  if (!dialog) return 0;
  if (dialog->thread == std::this_thread::get_id()) {
    lock.unlock();
    return Deliver(dialog, message, wParam, lParam);
  }
  if (dialog->state.ended) return 0;
  Reply reply;
  model.queue.push_back(Message{dialog, message, wParam, lParam, &reply});
  model.changed.notify_all();
  model.changed.wait(lock, [&] { return reply.done; });
  return reply.result;
}

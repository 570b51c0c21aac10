// The dialog model's registry of running dialogs and the drivers' view of it.
#include "platform/model/model_state.h"

#include <algorithm>

using namespace model_detail;

namespace model_detail {

Registry& Model() {
  static Registry registry;
  return registry;
}

DialogObject* Live(DialogHandle handle) {
  const auto& running = Model().running;
  return std::find(running.begin(), running.end(), handle) != running.end() ? handle : nullptr;
}

ModelControl* FindControl(DialogObject* dialog, int controlId) {
  for (ModelControl& control : dialog->state.controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

void Notify(ModelEvent::Kind kind, DialogHandle dialog, int controlId) {
  ModelObserver observer;
  {
    std::lock_guard lock(Model().mutex);
    observer = Model().observer;
  }
  if (observer) observer(ModelEvent{kind, dialog, controlId});
}

int CopyText(const std::u16string& text, char16_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return 0;
  const int count = std::min<int>(int(text.size()), capacity - 1);
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = 0;
  return count;
}

}  // namespace model_detail

const ModelControl* ModelDialog::Control(int id) const {
  for (const ModelControl& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

void SetModelObserver(ModelObserver observer) {
  std::lock_guard lock(Model().mutex);
  Model().observer = std::move(observer);
}

DialogHandle ModelActiveDialog() {
  std::lock_guard lock(Model().mutex);
  const auto& running = Model().running;
  for (auto it = running.rbegin(); it != running.rend(); ++it) {
    if ((*it)->shown) return *it;
  }
  return nullptr;
}

std::optional<ModelDialog> ModelSnapshot(DialogHandle handle) {
  std::lock_guard lock(Model().mutex);
  DialogObject* dialog = Live(handle);
  if (!dialog) return std::nullopt;
  return dialog->state;
}

std::optional<ModelControl> ModelControlState(DialogHandle handle, int controlId) {
  return ReadControl(handle, controlId, std::optional<ModelControl>(),
                     [](const ModelControl& c) { return std::optional<ModelControl>(c); });
}

DialogHandle ModelWaitForDialog(int templateId, std::chrono::milliseconds timeout) {
  Registry& model = Model();
  std::unique_lock lock(model.mutex);
  DialogHandle found = nullptr;
  model.changed.wait_for(lock, timeout, [&] {
    for (auto it = model.running.rbegin(); it != model.running.rend(); ++it) {
      if ((*it)->shown && (templateId == 0 || (*it)->state.templateId == templateId)) {
        found = *it;
        return true;
      }
    }
    return false;
  });
  return found;
}

bool ModelWaitForNoDialog(std::chrono::milliseconds timeout) {
  Registry& model = Model();
  std::unique_lock lock(model.mutex);
  return model.changed.wait_for(lock, timeout, [&] { return model.running.empty(); });
}

bool ModelClick(DialogHandle dialog, int controlId) {
  bool clickable = false;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (!control.enabled) return false;
    if (control.kind == ModelControlKind::CheckBox) {
      control.checked = !control.checked;
      clickable = true;
      return true;
    }
    clickable = control.kind == ModelControlKind::Button;
    return false;
  });
  return clickable && PostDialogMessage(dialog, kWmCommand, MakeWParam(controlId, kBnClicked), 0);
}

bool ModelChooseComboItem(DialogHandle dialog, int controlId, int index) {
  bool chosen = false;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    const bool combo =
        control.kind == ModelControlKind::Combo || control.kind == ModelControlKind::ComboList;
    if (!combo || !control.enabled || index < 0 || index >= int(control.items.size())) {
      return false;
    }
    control.selection = index;
    control.text = control.items[size_t(index)];
    chosen = true;
    return true;
  });
  return chosen && PostDialogMessage(dialog, kWmCommand, MakeWParam(controlId, kCbnSelChange), 0);
}

DialogHandle FindAppWindow(const char16_t* className, const char16_t* title) {
  if (!className || std::u16string_view(className) != kDialogClassName) return nullptr;
  std::lock_guard lock(Model().mutex);
  for (DialogObject* dialog : Model().running) {
    if (dialog->shown && (!title || dialog->state.title == title)) return dialog;
  }
  return nullptr;
}

bool BringToFront(DialogHandle window) {
  std::lock_guard lock(Model().mutex);
  return Live(window) != nullptr;
}

namespace {
template <typename Change>
bool ChangeDialog(DialogHandle handle, Change change) {
  {
    std::lock_guard lock(Model().mutex);
    DialogObject* dialog = Live(handle);
    if (!dialog || !change(dialog->state)) return false;
  }
  Notify(ModelEvent::DialogChanged, handle);
  return true;
}
}  // namespace

bool FocusDialog(DialogHandle dialog) {
  return ChangeDialog(dialog, [](ModelDialog& state) {
    state.focusId = 0;
    return true;
  });
}

bool FocusControl(DialogHandle dialog, int controlId) {
  return ChangeDialog(dialog, [&](ModelDialog& state) {
    const ModelControl* control = state.Control(controlId);
    if (!control || !control->enabled) return false;
    state.focusId = controlId;
    return true;
  });
}

bool SetDialogTitle(DialogHandle dialog, const char16_t* title) {
  return ChangeDialog(dialog, [&](ModelDialog& state) {
    state.title = title ? title : u"";
    return true;
  });
}

namespace model_detail {
// For the shell services: a change of a live dialog's state with notification.
bool ChangeDialogState(DialogHandle handle, const std::function<bool(ModelDialog&)>& change) {
  return ChangeDialog(handle, change);
}
}  // namespace model_detail

// Keys of the terminal form, turned into what the user means on the dialog on top:
// soft keys, focus moves, check box clicks, combo choices, typing and the Back key.
#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <algorithm>
#include <optional>

#include "common/utf8.h"
#include "platform/posix/config_form/config_form_ui.h"

namespace config_form {

namespace {

constexpr int kCtrlC = 3;
constexpr int kEscape = 27;

// Enter, from the main keyboard (CR or LF, as the terminal sends it) or the keypad.
bool IsEnter(int key, bool isKeyCode) {
  return isKeyCode ? key == KEY_ENTER : (key == '\n' || key == '\r');
}

// Esc or Ctrl-C: leave a box, list or pop-up without choosing.
bool IsLeave(int key, bool isKeyCode) { return !isKeyCode && (key == kEscape || key == kCtrlC); }

bool IsField(const ModelControl* control) {
  return control &&
         (control->kind == ModelControlKind::Combo || control->kind == ModelControlKind::Edit);
}

bool IsCombo(const ModelControl* control) {
  return control &&
         (control->kind == ModelControlKind::Combo || control->kind == ModelControlKind::ComboList);
}

void PostCommand(DialogHandle dialog, int command) {
  PostDialogMessage(dialog, kWmCommand, MakeWParam(unsigned(command), kBnClicked), 0);
}

void MoveFocus(const ModelDialog& dialog, int step) {
  const int current = FocusedControl(dialog);
  const int count = int(dialog.controls.size());
  int at = 0;
  while (at < count && dialog.controls[std::size_t(at)].id != current) ++at;
  for (int n = 1; n <= count; ++n) {
    const ModelControl& next =
        dialog.controls[std::size_t(((at + step * n) % count + count) % count)];
    if (next.tabStop && next.enabled) {
      FocusControl(dialog.handle, next.id);
      return;
    }
  }
}

void SoftKey(Ui& ui, const ModelDialog& dialog, std::size_t index) {
  if (index >= dialog.softKeys.size()) return;
  const ModelSoftKey& key = dialog.softKeys[index];
  if (key.dropDown && !key.popup.empty()) {
    ui.popupOpen = true;
    ui.popupSelected = 0;
  } else {
    PostCommand(dialog.handle, key.command);
  }
}

// The Back key: the field gets the focus, then the dialog hears the key as the
// shell's menu bar would send it.
void BackKey(const ModelDialog& dialog, int focus) {
  FocusControl(dialog.handle, focus);
  PostDialogMessage(dialog.handle, kWmHotKey, 0, intptr_t(kVkTBack) << 16);
}

void Type(const ModelDialog& dialog, const ModelControl& control, char32_t c) {
  std::u16string text = control.text;
  char16_t units[2];
  const std::size_t count = utf8::EncodeUtf16(c, units);
  // As a Win32 field does, a character past the limit is refused, not cut.
  if (control.textLimit > 0 && text.size() + count > std::size_t(control.textLimit)) return;
  text.append(units, count);
  SetControlText(dialog.handle, control.id, text.c_str());
  PostDialogMessage(dialog.handle, kWmCommand,
                    MakeWParam(unsigned(control.id),
                               control.kind == ModelControlKind::Edit ? kEnChange : kCbnEditChange),
                    0);
}

void StepList(const ModelDialog& dialog, const ModelControl& control, int step) {
  const int count = int(control.items.size());
  if (count == 0) return;
  const int next =
      control.selection == kCbErr ? 0 : std::clamp(control.selection + step, 0, count - 1);
  ModelChooseComboItem(dialog.handle, control.id, next);
}

bool BoxKey(Ui& ui, int key, bool isKeyCode) {
  std::lock_guard lock(ui.mutex);
  PendingBox& box = ui.box;
  if (!box.open) return false;
  const int buttons = BoxButtonCount(box.flags);
  int answer = 0;
  if (isKeyCode && (key == KEY_LEFT || key == KEY_RIGHT || key == KEY_BTAB)) {
    box.selected = (box.selected + 1) % buttons;
  } else if (!isKeyCode && key == '\t') {
    box.selected = (box.selected + 1) % buttons;
  } else if (IsEnter(key, isKeyCode) || (!isKeyCode && key == ' ')) {
    answer = BoxButtonAnswer(box.flags, box.selected);
  } else if (IsLeave(key, isKeyCode)) {
    answer = DefaultMessageBoxAnswer(box.flags);
  } else if (!isKeyCode && (box.flags & kMbButtonMask) == kMbYesNo && (key == 'y' || key == 'Y')) {
    answer = kIdYes;
  } else if (!isKeyCode && (box.flags & kMbButtonMask) == kMbYesNo && (key == 'n' || key == 'N')) {
    answer = kIdNo;
  }
  if (answer) {
    box.answer = answer;
    box.open = false;
    ui.answered.notify_all();
  }
  return true;
}

void PopupKey(Ui& ui, const ModelDialog& dialog, int key, bool isKeyCode) {
  const auto& items =
      dialog.softKeys.size() > 1 ? dialog.softKeys[1].popup : decltype(dialog.softKeys[0].popup){};
  const int count = int(items.size());
  if (isKeyCode && key == KEY_UP)
    ui.popupSelected = (ui.popupSelected + count - 1) % std::max(1, count);
  else if (isKeyCode && key == KEY_DOWN)
    ui.popupSelected = (ui.popupSelected + 1) % std::max(1, count);
  else if (IsEnter(key, isKeyCode)) {
    ui.popupOpen = false;
    if (ui.popupSelected < count)
      PostCommand(dialog.handle, items[std::size_t(ui.popupSelected)].first);
  } else if (IsLeave(key, isKeyCode) || (isKeyCode && key == KEY_F(2))) {
    ui.popupOpen = false;
  }
}

void ListKey(Ui& ui, const ModelDialog& dialog, int key, bool isKeyCode) {
  const ModelControl* control = dialog.Control(ui.listControl);
  const int count = control ? int(control->items.size()) : 0;
  if (!control || !control->enabled || count == 0) {
    ui.listControl = 0;
    return;
  }
  if (isKeyCode && key == KEY_UP)
    ui.listSelected = std::max(0, ui.listSelected - 1);
  else if (isKeyCode && key == KEY_DOWN)
    ui.listSelected = std::min(count - 1, ui.listSelected + 1);
  else if (IsEnter(key, isKeyCode) || (!isKeyCode && key == ' ')) {
    ModelChooseComboItem(dialog.handle, control->id, ui.listSelected);
    ui.listControl = 0;
  } else if (IsLeave(key, isKeyCode)) {
    ui.listControl = 0;
  }
}

void FormKey(Ui& ui, const ModelDialog& dialog, int key, bool isKeyCode) {
  const int focus = FocusedControl(dialog);
  const ModelControl* control = dialog.Control(focus);
  const bool enter = IsEnter(key, isKeyCode);
  if (isKeyCode) {
    switch (key) {
      case KEY_F(1): SoftKey(ui, dialog, 0); return;
      case KEY_F(2): SoftKey(ui, dialog, 1); return;
      case KEY_DOWN: MoveFocus(dialog, 1); return;
      case KEY_UP:
      case KEY_BTAB: MoveFocus(dialog, -1); return;
      case KEY_BACKSPACE:
        if (IsField(control)) BackKey(dialog, focus);
        return;
      case KEY_LEFT:
      case KEY_RIGHT:
        if (control && control->kind == ModelControlKind::ComboList)
          StepList(dialog, *control, key == KEY_LEFT ? -1 : 1);
        return;
      case KEY_F(4): break;  // opens a list, as below
      default:
        if (!enter) return;
    }
  }
  if (!isKeyCode && key == '\t') return MoveFocus(dialog, 1);
  if (!isKeyCode && (key == 127 || key == 8)) {
    if (IsField(control)) BackKey(dialog, focus);
    return;
  }
  if (!isKeyCode && key == kCtrlC) {
    PostDialogMessage(dialog.handle, kWmClose, 0, 0);
    return;
  }
  if (!isKeyCode && key == kEscape) {
    // As the dialog manager does: Esc is Cancel (the form ignores it).
    PostCommand(dialog.handle, kIdCancel);
    return;
  }
  if (!control) return;
  if (control->kind == ModelControlKind::CheckBox && (enter || (!isKeyCode && key == ' '))) {
    ModelClick(dialog.handle, control->id);
  } else if (IsCombo(control) && (enter || (isKeyCode && key == KEY_F(4)))) {
    if (!control->items.empty()) {
      ui.listControl = control->id;
      ui.listSelected = std::max(0, control->selection);
    }
  } else if (control->kind == ModelControlKind::Edit && enter) {
    PostCommand(dialog.handle, kIdOk);  // Enter is the Done button
  } else if (IsField(control) && !isKeyCode && key >= 0x20 && key != 127) {
    Type(dialog, *control, char32_t(key));
  } else if (control->kind == ModelControlKind::ComboList && !isKeyCode && key > 0x20) {
    const char16_t prefix[2] = {char16_t(key), 0};
    const int found = ComboFindString(dialog.handle, control->id, control->selection, prefix);
    if (found != kCbErr) ModelChooseComboItem(dialog.handle, control->id, found);
  }
}

}  // namespace

void HandleKey(Ui& ui, int key, bool isKeyCode) {
  if (BoxKey(ui, key, isKeyCode)) return;
  const std::optional<ModelDialog> dialog = ModelSnapshot(ModelActiveDialog());
  if (!dialog) return;
  if (ui.popupOpen) return PopupKey(ui, *dialog, key, isKeyCode);
  if (ui.listControl) return ListKey(ui, *dialog, key, isKeyCode);
  FormKey(ui, *dialog, key, isKeyCode);
}

void AnswerBox(Ui& ui, int answer) {
  std::lock_guard lock(ui.mutex);
  if (!ui.box.open) return;
  ui.box.answer = answer ? answer : DefaultMessageBoxAnswer(ui.box.flags);
  ui.box.open = false;
  ui.answered.notify_all();
}

}  // namespace config_form

// Resources and the Windows Mobile shell services in the dialog model: strings
// from the resource tables, soft keys from the menu-bar records, the Back key.
#include "common/utf8.h"
#include "platform/model/model_state.h"
#include "resources/resources.h"

using namespace model_detail;

namespace {

std::mutex platformMutex;
std::optional<std::u16string> platformType = u"PocketPC";

std::vector<std::pair<int, std::u16string>> PopupItems(int menuId, int index) {
  std::vector<std::pair<int, std::u16string>> items;
  const MenuResource* menu = FindMenuResource(menuId);
  if (!menu || index < 0 || index >= int(menu->items.size())) return items;
  for (const MenuItemResource& item : menu->items[size_t(index)].popup) {
    items.emplace_back(item.command, item.text);
  }
  return items;
}

std::vector<ModelSoftKey> SoftKeys(const DecodedMenuBar& bar) {
  std::vector<ModelSoftKey> keys;
  for (int i = 0; i < bar.buttonCount; ++i) {
    const MenuBarButton& button = bar.buttons[i];
    ModelSoftKey key;
    key.command = button.command;
    const char16_t* label = FindStringResource(button.labelStringId);
    key.label = label ? label : u"";
    key.dropDown = button.style == kMenuBarStyleDropDown;
    if (button.subMenu != kMenuBarNoSubMenu) key.popup = PopupItems(bar.menuId, button.subMenu);
    keys.push_back(std::move(key));
  }
  return keys;
}

}  // namespace

int LoadResourceString(int id, char16_t* buffer, int capacity) {
  const char16_t* text = FindStringResource(id);
  return CopyText(text ? text : u"", buffer, capacity);
}

bool CreateMenuBar(DialogHandle dialog, int menuBarId) {
  const MenuBarResource* record = FindMenuBarResource(menuBarId);
  DecodedMenuBar bar;
  if (!record || !DecodeMenuBarRecord(record->words, bar)) return false;
  std::vector<ModelSoftKey> keys = SoftKeys(bar);
  return ChangeDialogState(dialog, [&](ModelDialog& state) {
    state.softKeys = std::move(keys);
    return true;
  });
}

bool InitFullScreenDialog(DialogHandle dialog, unsigned flags) {
  return ChangeDialogState(dialog, [&](ModelDialog& state) {
    state.shellFlags = flags;
    return true;
  });
}

intptr_t SendMenuBarMessage(DialogHandle dialog, unsigned message, uintptr_t wParam,
                            intptr_t lParam) {
  if (message != kShcmbmOverrideKey || wParam != kVkTBack) return 0;
  // Low word: the flags being set; high word: their values.
  const unsigned mask = LowWord(uintptr_t(lParam)), values = HighWord(uintptr_t(lParam));
  return ChangeDialogState(dialog, [&](ModelDialog& state) {
    if (state.softKeys.empty()) return false;
    if (mask & kShmbofNotify) state.backKeyOverridden = (values & kShmbofNotify) != 0;
    return true;
  });
}

void SendBackToFocusWindow(unsigned, uintptr_t, intptr_t) {
  DialogHandle dialog = ModelActiveDialog();
  const std::optional<ModelDialog> state = ModelSnapshot(dialog);
  if (!state || state->focusId == 0) return;
  ChangeControl(dialog, state->focusId, [](ModelControl& control) {
    const bool editable =
        control.kind == ModelControlKind::Edit || control.kind == ModelControlKind::Combo;
    if (!editable || control.text.empty()) return false;
    // The caret of the model's fields stays at the end of the text.
    control.text.pop_back();
    if (!control.text.empty() && utf8::IsHighSurrogate(control.text.back()))
      control.text.pop_back();
    return true;
  });
}

void ForwardInputDialog(DialogHandle, unsigned, uintptr_t) {}

bool GetPlatformType(char16_t* buffer, int capacity) {
  std::lock_guard lock(platformMutex);
  if (!platformType) {
    CopyText(u"", buffer, capacity);
    return false;
  }
  CopyText(*platformType, buffer, capacity);
  return true;
}

void SetModelPlatformType(const char16_t* type) {
  std::lock_guard lock(platformMutex);
  platformType = type ? std::optional<std::u16string>(type) : std::nullopt;
}

// The handheld shell's services on desktop Windows: the soft-key bar of a menu-bar
// record as two buttons along the bottom of the form, the right one opening its
// pop-up menu; full-screen forms and the Back-key override have nothing to do.
#include "platform/win32/dialog_window.h"

#include <span>

#include "platform/win32/wide_text.h"
#include "resources/resources.h"

using namespace win32_dialogs;

namespace {

constexpr int kLabelUnits = 64;

// The record as the resource compiler stored it (RCDATA of 16-bit words).
bool LoadMenuBarRecord(int menuBarId, DecodedMenuBar& bar) {
  HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(menuBarId), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(Instance(), found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  const std::span<const uint16_t> words(static_cast<const uint16_t*>(data),
                                        SizeofResource(Instance(), found) / sizeof(uint16_t));
  return DecodeMenuBarRecord(words, bar);
}

// Dialog units to pixels in this dialog's font.
RECT DialogRect(HWND window, int width, int height) {
  RECT rect{0, 0, width, height};
  MapDialogRect(window, &rect);
  return rect;
}

// Makes room for the bar below the form's controls.
void GrowForBar(HWND window, int barHeight) {
  RECT outer{};
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left,
               outer.bottom - outer.top + barHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateSoftKeyButton(HWND window, const MenuBarButton& button, RECT place) {
  wchar_t label[kLabelUnits] = {};
  LoadStringW(Instance(), button.labelStringId, label, kLabelUnits);
  HWND control = CreateWindowExW(
      0, L"BUTTON", label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, place.left,
      place.top, place.right - place.left, place.bottom - place.top, window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.command)), Instance(), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, SendMessageW(window, WM_GETFONT, 0, 0), TRUE);
  return control;
}

// Left key at the left edge, right key at the right edge, as on the handheld.
bool PlaceSoftKeys(HWND window, DialogContext& context, const DecodedMenuBar& bar) {
  const RECT size = DialogRect(window, 50, 14), margin = DialogRect(window, 3, 3);
  GrowForBar(window, size.bottom + 2 * margin.bottom);
  RECT client{};
  GetClientRect(window, &client);
  const int width = (client.right - 3 * margin.right) / 2;
  const int top = client.bottom - margin.bottom - size.bottom;
  for (int i = 0; i < bar.buttonCount; ++i) {
    const int left = i == 0 ? margin.right : client.right - margin.right - width;
    const RECT place{left, top, left + width, top + size.bottom};
    SoftKey& key = context.softKeys[i];
    key.button = CreateSoftKeyButton(window, bar.buttons[i], place);
    if (!key.button) return false;
    key.command = bar.buttons[i].command;
    key.dropDown = bar.buttons[i].style == kMenuBarStyleDropDown;
    key.subMenu = bar.buttons[i].subMenu == kMenuBarNoSubMenu ? -1 : bar.buttons[i].subMenu;
    context.softKeyCount = i + 1;
  }
  return true;
}

}  // namespace

namespace win32_dialogs {

bool HandleSoftKeyCommand(HWND window, DialogContext& context, int command) {
  for (int i = 0; i < context.softKeyCount; ++i) {
    const SoftKey& key = context.softKeys[i];
    if (key.command != command || !key.dropDown || key.subMenu < 0) continue;
    HMENU popup = context.menu ? GetSubMenu(context.menu, key.subMenu) : nullptr;
    if (!popup) return false;
    RECT button{};
    GetWindowRect(key.button, &button);
    SetForegroundWindow(window);
    const int chosen =
        int(TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                           button.right, button.top, 0, window, nullptr));
    // A menu's command, as the handheld's menu bar sends it (lParam 0: from a menu).
    if (chosen) PostMessageW(window, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return true;
  }
  return false;
}

void ReleaseSoftKeys(DialogContext& context) {
  if (context.menu) DestroyMenu(context.menu);
  context.menu = nullptr;
  context.softKeyCount = 0;
}

}  // namespace win32_dialogs

bool CreateMenuBar(DialogHandle dialog, int menuBarId) {
  HWND window = Window(dialog);
  DialogContext* context = ContextOf(window);
  DecodedMenuBar bar;
  if (!context || context->softKeyCount || !LoadMenuBarRecord(menuBarId, bar) ||
      bar.buttonCount > kMaxSoftKeys) {
    return false;
  }
  context->menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(bar.menuId));
  return PlaceSoftKeys(window, *context, bar);
}

// Desktop forms keep their size; the Done button is the dialog's own OK (Enter).
bool InitFullScreenDialog(DialogHandle dialog, unsigned) {
  return ContextOf(Window(dialog)) != nullptr;
}

intptr_t SendMenuBarMessage(DialogHandle dialog, unsigned message, uintptr_t wParam,
                            intptr_t lParam) {
  DialogContext* context = ContextOf(Window(dialog));
  if (!context || !context->softKeyCount) return 0;
  if (message != kShcmbmOverrideKey || wParam != kVkTBack) return 0;
  // The desktop has no Back key: Esc keeps its dialog meaning (Cancel).
  const unsigned mask = LowWord(uintptr_t(lParam)), values = HighWord(uintptr_t(lParam));
  if (mask & kShmbofNotify) context->backKeyOverridden = (values & kShmbofNotify) != 0;
  return 1;
}

void SendBackToFocusWindow(unsigned, uintptr_t, intptr_t) {
  // What Back does in a text field: delete the character before the caret.
  if (HWND focus = GetFocus()) SendMessageW(focus, WM_CHAR, VK_BACK, 0);
}

// Desktop edit fields need no help from the shell.
void ForwardInputDialog(DialogHandle, unsigned, uintptr_t) {}

bool GetPlatformType(char16_t* buffer, int capacity) {
  if (capacity <= 0) return false;
  buffer[0] = 0;
  // Desktop Windows knows no platform type: the query fails, so the Pocket PC
  // layout is chosen.
  if (!SystemParametersInfoW(kSpiGetPlatformType, UINT(capacity), AsWide(buffer), 0)) {
    buffer[0] = 0;
    return false;
  }
  buffer[capacity - 1] = 0;
  return true;
}

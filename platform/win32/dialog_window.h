// What the Win32 dialog layer keeps per running dialog, shared by its source files.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/dialogs.h"

namespace win32_dialogs {

// Private messages the layer posts to a dialog's own thread, for the calls that
// Win32 only honours there (EndDialog, DestroyWindow, SetFocus).
inline constexpr UINT kEndMessage = WM_APP + 0x51;  // wParam: the result
inline constexpr UINT kDestroyMessage = WM_APP + 0x52;
inline constexpr UINT kFocusMessage = WM_APP + 0x53;  // wParam: control id, 0 the dialog

inline constexpr int kMaxSoftKeys = 2;

struct SoftKey {
  HWND button = nullptr;
  int command = 0;
  bool dropDown = false;
  int subMenu = -1;  // index into the menu-bar's menu, -1 for none
};

// Lives on RunModalDialog's stack for as long as the dialog runs; the window
// points at it through DWLP_USER.
struct DialogContext {
  DialogProc proc = nullptr;
  intptr_t initParam = 0;
  int templateId = 0;
  std::atomic<bool> ended{false};
  HMENU menu = nullptr;  // the soft keys' menu, loaded with the bar
  int softKeyCount = 0;
  SoftKey softKeys[kMaxSoftKeys];
  bool backKeyOverridden = false;
};

inline HWND Window(DialogHandle dialog) { return reinterpret_cast<HWND>(dialog); }
inline DialogHandle Handle(HWND window) { return reinterpret_cast<DialogHandle>(window); }

inline HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// The context of a dialog run by this layer, or null for any other window.
DialogContext* ContextOf(HWND window);

inline bool OnOwnThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Moves window to the middle of over (of the work area when over is null), keeping
// it wholly on the work area.
void CentreWindow(HWND window, HWND over);

// Gives the window what a desktop expects of its template's role (a title for
// the taskbar); done once the procedure has set the dialog up.
void ApplyDesktopRole(HWND window, const DialogContext& context);
// Esc (IDCANCEL) on a dialog whose role names a button for it: that button's
// click goes to the procedure. True when it did.
bool HandleDesktopEscape(HWND window, DialogContext& context, WPARAM wParam);

// The soft keys' part of the dialog procedure: true when it handled the command.
bool HandleSoftKeyCommand(HWND window, DialogContext& context, int command);
// Frees what CreateMenuBar loaded.
void ReleaseSoftKeys(DialogContext& context);

}  // namespace win32_dialogs

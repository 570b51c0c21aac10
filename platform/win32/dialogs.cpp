// Modal dialogs from the program's dialog templates, with the portable procedure behind a real DLGPROC.
#include "platform/win32/dialog_window.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/wide_text.h"

namespace win32_dialogs {

void CentreWindow(HWND window, HWND over) {
  RECT rect{}, area{};
  if (!GetWindowRect(window, &rect)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(over ? over : window, MONITOR_DEFAULTTONEAREST),
                       &monitor)) {
    return;
  }
  const RECT work = monitor.rcWork;
  if (!over || !GetWindowRect(over, &area)) area = work;
  const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
  // Wholly on the work area, even over an owner near its edge.
  const LONG left = std::clamp((area.left + area.right - width) / 2, work.left,
                               std::max(work.left, work.right - width));
  const LONG top = std::clamp((area.top + area.bottom - height) / 2, work.top,
                              std::max(work.top, work.bottom - height));
  SetWindowPos(window, nullptr, left, top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

namespace {

// The dialogs this layer runs, so that a handle from elsewhere (a message box,
// another program's window) is never taken for one of ours.
std::mutex registryMutex;
std::vector<std::pair<HWND, DialogContext*>>& Registry() {
  static auto* registry = new std::vector<std::pair<HWND, DialogContext*>>;
  return *registry;
}

void Register(HWND window, DialogContext* context) {
  std::lock_guard lock(registryMutex);
  Registry().emplace_back(window, context);
}

void Unregister(HWND window) {
  std::lock_guard lock(registryMutex);
  std::erase_if(Registry(), [&](const auto& entry) { return entry.first == window; });
}

void FocusOnOwnThread(HWND window, int controlId) {
  HWND target = controlId ? GetDlgItem(window, controlId) : window;
  if (target) SetFocus(target);
}

// The handheld's full-screen dialogs mean nothing on a desktop: a program's own
// window goes to the middle of the work area and can be minimised, a dialog it
// owns to the middle of its owner. Done once the procedure has set the size.
void PlaceOnDesktop(HWND window) {
  HWND owner = GetWindow(window, GW_OWNER);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  if (!owner && (style & WS_CAPTION) == WS_CAPTION) {
    SetWindowLongPtrW(window, GWL_STYLE, style | WS_MINIMIZEBOX);
  }
  CentreWindow(window, owner);
}

INT_PTR CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* context = reinterpret_cast<DialogContext*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    Register(window, context);
    const INT_PTR result = context->proc(Handle(window), message, wParam, context->initParam);
    if (IsWindow(window)) {
      ApplyDesktopRole(window, *context);
      PlaceOnDesktop(window);
    }
    return result;
  }
  DialogContext* context = ContextOf(window);
  if (!context) return FALSE;  // the messages before WM_INITDIALOG
  switch (message) {
    case kEndMessage: EndDialog(window, INT_PTR(wParam)); return TRUE;
    case kDestroyMessage: DestroyWindow(window); return TRUE;
    case kFocusMessage: FocusOnOwnThread(window, int(wParam)); return TRUE;
    case WM_COMMAND: {
      if (HandleDesktopEscape(window, *context, wParam)) return TRUE;
      const intptr_t handled = context->proc(Handle(window), message, wParam, lParam);
      if (HandleSoftKeyCommand(window, *context, LOWORD(wParam))) return TRUE;
      return handled;
    }
    case WM_NCDESTROY: {
      const intptr_t handled = context->proc(Handle(window), message, wParam, lParam);
      context->ended = true;
      ReleaseSoftKeys(*context);
      Unregister(window);
      return handled;
    }
    default: return context->proc(Handle(window), message, wParam, lParam);
  }
}

// Carries a call that Win32 only honours on the window's thread over to it.
bool OnDialogThread(HWND window, UINT message, WPARAM wParam) {
  return PostMessageW(window, message, wParam, 0) != 0;
}

// The manifest asks for Common Controls 6; its window classes are registered
// once per process before the first dialog.
void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace

DialogContext* ContextOf(HWND window) {
  std::lock_guard lock(registryMutex);
  for (const auto& [known, context] : Registry()) {
    if (known == window) return context;
  }
  return nullptr;
}

}  // namespace win32_dialogs

using namespace win32_dialogs;

intptr_t RunModalDialog(int templateId, DialogHandle owner, DialogProc proc, intptr_t initParam) {
  HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(templateId), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(Instance(), found) : nullptr;
  auto* source = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (!source || !proc) return -1;
  InitCommonControlsOnce();
  DialogContext context;
  context.proc = proc;
  context.initParam = initParam;
  context.templateId = templateId;
  return DialogBoxIndirectParamW(Instance(), source, Window(owner), Thunk,
                                 reinterpret_cast<LPARAM>(&context));
}

bool EndDialogWith(DialogHandle dialog, intptr_t result) {
  HWND window = Window(dialog);
  DialogContext* context = ContextOf(window);
  if (!context || context->ended.exchange(true)) return false;
  if (OnOwnThread(window)) return EndDialog(window, result) != 0;
  return OnDialogThread(window, kEndMessage, WPARAM(result));
}

bool DestroyDialog(DialogHandle dialog) {
  HWND window = Window(dialog);
  if (!ContextOf(window)) return false;
  if (OnOwnThread(window)) return DestroyWindow(window) != 0;
  return OnDialogThread(window, kDestroyMessage, 0);
}

bool PostDialogMessage(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  return PostMessageW(Window(dialog), message, wParam, lParam) != 0;
}

intptr_t SendDialogMessage(DialogHandle dialog, unsigned message, uintptr_t wParam,
                           intptr_t lParam) {
  if (!IsWindow(Window(dialog))) return 0;
  return SendMessageW(Window(dialog), message, wParam, lParam);
}

DialogHandle FindAppWindow(const char16_t* className, const char16_t* title) {
  // The portable name of the dialog class is the handheld's; here it is "#32770".
  const bool dialogClass = className && std::u16string_view(className) == kDialogClassName;
  const wchar_t* windowClass = dialogClass ? L"#32770" : AsWide(className);
  return Handle(FindWindowW(windowClass, AsWide(title)));
}

bool BringToFront(DialogHandle window) { return SetForegroundWindow(Window(window)) != 0; }

bool FocusDialog(DialogHandle dialog) { return FocusControl(dialog, 0); }

bool FocusControl(DialogHandle dialog, int controlId) {
  HWND window = Window(dialog);
  if (!IsWindow(window)) return false;
  if (!OnOwnThread(window)) return OnDialogThread(window, kFocusMessage, WPARAM(controlId));
  HWND target = controlId ? GetDlgItem(window, controlId) : window;
  if (!target) return false;
  SetFocus(target);  // its result is the old focus, which may be none
  return true;
}

bool SetDialogTitle(DialogHandle dialog, const char16_t* title) {
  return SetWindowTextW(Window(dialog), AsWide(title)) != 0;
}

// Controls by id, message boxes and string resources over the Win32 window calls.
#include "platform/win32/dialog_window.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "platform/win32/console_streams.h"
#include "platform/win32/wide_text.h"

using namespace win32_dialogs;

namespace {

HWND Control(DialogHandle dialog, int controlId) { return GetDlgItem(Window(dialog), controlId); }

// CB_* and BM_* results are small ints; a missing control answers kCbErr.
LRESULT SendToControl(DialogHandle dialog, int controlId, UINT message, WPARAM wParam,
                      LPARAM lParam, LRESULT missing) {
  HWND control = Control(dialog, controlId);
  return control ? SendMessageW(control, message, wParam, lParam) : missing;
}

// Each indicator bitmap is loaded once and kept: a static that shows it holds
// no reference of its own.
HBITMAP Bitmap(int bitmapId) {
  static std::mutex mutex;
  static auto* loaded = new std::map<int, HBITMAP>;
  std::lock_guard lock(mutex);
  auto found = loaded->find(bitmapId);
  if (found != loaded->end()) return found->second;
  auto bitmap = static_cast<HBITMAP>(
      LoadImageW(Instance(), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0));
  if (bitmap) (*loaded)[bitmapId] = bitmap;
  return bitmap;
}

}  // namespace

bool SetControlText(DialogHandle dialog, int controlId, const char16_t* text) {
  HWND control = Control(dialog, controlId);
  return control && SetWindowTextW(control, AsWide(text)) != 0;
}

int GetControlText(DialogHandle dialog, int controlId, char16_t* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = 0;
  HWND control = Control(dialog, controlId);
  return control ? GetWindowTextW(control, AsWide(buffer), capacity) : 0;
}

bool SetControlImage(DialogHandle dialog, int controlId, int bitmapId) {
  HBITMAP bitmap = Bitmap(bitmapId);
  HWND control = Control(dialog, controlId);
  if (!bitmap || !control) return false;
  SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  return true;
}

bool SetCheck(DialogHandle dialog, int controlId, bool checked) {
  HWND control = Control(dialog, controlId);
  if (!control) return false;
  SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

bool IsChecked(DialogHandle dialog, int controlId) {
  return SendToControl(dialog, controlId, BM_GETCHECK, 0, 0, BST_UNCHECKED) == BST_CHECKED;
}

bool EnableControl(DialogHandle dialog, int controlId, bool enabled) {
  HWND control = Control(dialog, controlId);
  if (!control) return false;
  EnableWindow(control, enabled);  // its result is the old state
  return true;
}

bool IsControlEnabled(DialogHandle dialog, int controlId) {
  HWND control = Control(dialog, controlId);
  return control && IsWindowEnabled(control);
}

// A list entry wider than the field (a port's friendly name) is read whole in the
// dropped-down list, as Windows' own port lists show them; the field clips it.
void WidenDroppedList(HWND combo, const wchar_t* text) {
  HDC dc = GetDC(combo);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  SIZE size{};
  const BOOL measured = GetTextExtentPoint32W(dc, text, int(wcslen(text)), &size);
  // Room for the list's scroll bar and its edges (system metrics: this runs on Windows 7).
  const int need =
      size.cx + GetSystemMetrics(SM_CXVSCROLL) + MulDiv(8, GetDeviceCaps(dc, LOGPIXELSX), 96);
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  if (measured && need > SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0)) {
    SendMessageW(combo, CB_SETDROPPEDWIDTH, WPARAM(need), 0);
  }
}

int ComboAddString(DialogHandle dialog, int controlId, const char16_t* text) {
  const int index = int(SendToControl(dialog, controlId, CB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(AsWide(text)), kCbErr));
  if (index >= 0) WidenDroppedList(Control(dialog, controlId), AsWide(text));
  return index;
}

bool ComboLimitText(DialogHandle dialog, int controlId, int units) {
  return SendToControl(dialog, controlId, CB_LIMITTEXT, WPARAM(units), 0, kCbErr) != kCbErr;
}

bool ComboReset(DialogHandle dialog, int controlId) {
  return SendToControl(dialog, controlId, CB_RESETCONTENT, 0, 0, kCbErr) != kCbErr;
}

int ComboGetCount(DialogHandle dialog, int controlId) {
  return int(SendToControl(dialog, controlId, CB_GETCOUNT, 0, 0, kCbErr));
}

int ComboSetSelection(DialogHandle dialog, int controlId, int index) {
  return int(SendToControl(dialog, controlId, CB_SETCURSEL, WPARAM(index), 0, kCbErr));
}

int ComboGetSelection(DialogHandle dialog, int controlId) {
  return int(SendToControl(dialog, controlId, CB_GETCURSEL, 0, 0, kCbErr));
}

int ComboFindString(DialogHandle dialog, int controlId, int startAfter, const char16_t* prefix) {
  return int(SendToControl(dialog, controlId, CB_FINDSTRING, WPARAM(startAfter),
                           reinterpret_cast<LPARAM>(AsWide(prefix)), kCbErr));
}

int ComboGetItemText(DialogHandle dialog, int controlId, int index, char16_t* buffer,
                     int capacity) {
  if (capacity <= 0) return kCbErr;
  buffer[0] = 0;
  const LRESULT length =
      SendToControl(dialog, controlId, CB_GETLBTEXTLEN, WPARAM(index), 0, kCbErr);
  if (length < 0) return kCbErr;
  // CB_GETLBTEXT knows no buffer size: fetch whole, then cut to fit.
  std::wstring text(size_t(length) + 1, L'\0');
  SendToControl(dialog, controlId, CB_GETLBTEXT, WPARAM(index),
                reinterpret_cast<LPARAM>(text.data()), kCbErr);
  const int copied = int(std::min<LRESULT>(length, capacity - 1));
  for (int i = 0; i < copied; ++i) buffer[i] = char16_t(text[size_t(i)]);
  buffer[copied] = 0;
  return copied;
}

namespace {

// MessageBoxW places its box in the middle of the screen; a hook on this thread
// moves it over its owner as it first activates.
thread_local HWND boxOwner = nullptr;
thread_local HHOOK boxHook = nullptr;

LRESULT CALLBACK CentreBoxOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  const HHOOK hook = boxHook;
  if (code == HCBT_ACTIVATE && hook) {
    boxHook = nullptr;
    UnhookWindowsHookEx(hook);
    CentreWindow(reinterpret_cast<HWND>(wParam), boxOwner);
    return 0;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

int ShowMessageBox(DialogHandle owner, const char16_t* text, const char16_t* caption,
                   unsigned flags, const char16_t* detail) {
  if (MessageBoxesGoToStandardError()) {
    std::u16string said = std::u16string(caption) + u" " + text + u"\n";
    if (detail && *detail) said += std::u16string(detail) + u"\n";
    WriteProgramStream(ProgramStream::Err, said);
    return DefaultMessageBoxAnswer(flags);
  }
  HWND window = Window(owner);
  if (window && !boxHook) {
    boxOwner = window;
    boxHook = SetWindowsHookExW(WH_CBT, CentreBoxOnActivate, nullptr, GetCurrentThreadId());
  }
  // The detail is the box's second paragraph, as Windows' own boxes put a reason.
  std::u16string body = text ? text : u"";
  if (detail && *detail) body += std::u16string(u"\n\n") + detail;
  const int answer = MessageBoxW(window, AsWide(body.c_str()), AsWide(caption), flags);
  if (boxHook) {  // the box never activated
    UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
  }
  return answer;
}

int LoadResourceString(int id, char16_t* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = 0;
  // A capacity of 0 would make LoadStringW hand out a pointer instead.
  const int length = LoadStringW(Instance(), UINT(id), AsWide(buffer), capacity);
  if (length <= 0) buffer[0] = 0;
  return length > 0 ? length : 0;
}

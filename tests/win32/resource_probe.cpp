// Reads Quarvel's compiled resources back through Win32 for the Wine tests:
// status texts, indicator bitmaps and the status dialog's controls.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource_ids.h"

namespace {

std::string Utf8(const wchar_t* text) {
  char out[512];
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

void Strings() {
  for (int id = IDS_BLUETOOTH_ON; id <= IDS_LOADING; ++id) {
    wchar_t text[64] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, text, 64);
    std::printf("string[%d]=%s\n", id, Utf8(text).c_str());
  }
}

// Size, depth and the colours of the frame and the centre, as RRGGBB.
void Bitmaps() {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  for (int id = IDB_INDICATOR_GREEN; id <= IDB_INDICATOR_BLACK; ++id) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF frame = GetPixel(memory, 0, 0), centre = GetPixel(memory, 9, 9);
    SelectObject(memory, old);
    std::printf("bitmap[%d]=%ldx%ld/%u/%02x%02x%02x/%02x%02x%02x\n", id, info.bmWidth,
                info.bmHeight, info.bmBitsPixel, GetRValue(frame), GetGValue(frame),
                GetBValue(frame), GetRValue(centre), GetGValue(centre), GetBValue(centre));
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Each control: class, text, and its rectangle in pixels next to the template's
// position converted by the dialog's own units (MapDialogRect).
void Dialog() {
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_STATUS), nullptr,
                                   QuietProc, 0);
  if (!dialog) {
    std::printf("dialog=missing\n");
    return;
  }
  std::printf("dialog_style=%08lx\n", GetWindowLongW(dialog, GWL_STYLE));
  for (int id : {IDC_INDICATOR, IDC_STOP, IDC_STATUS_LINE, IDC_WAIT_DETAIL, IDC_TITLE}) {
    HWND control = GetDlgItem(dialog, id);
    wchar_t className[32] = {}, text[64] = {};
    GetClassNameW(control, className, 32);
    GetWindowTextW(control, text, 64);
    RECT pixels{};
    GetWindowRect(control, &pixels);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&pixels), 2);
    std::printf("control[%d]=%s|%s|%08lx|%ld,%ld,%ld,%ld\n", id, Utf8(className).c_str(),
                Utf8(text).c_str(), GetWindowLongW(control, GWL_STYLE), pixels.left, pixels.top,
                pixels.right - pixels.left, pixels.bottom - pixels.top);
  }
  RECT units{0, 0, 400, 800};  // MapDialogRect's rounding, sampled finely
  MapDialogRect(dialog, &units);
  std::printf("units_per_100=%ld,%ld\n", units.right, units.bottom);
  DestroyWindow(dialog);
}

}  // namespace

int wmain() {
  Strings();
  Bitmaps();
  Dialog();
  std::fflush(stdout);
  return 0;
}

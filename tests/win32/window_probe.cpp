// Watches and pokes the programs' windows for the Wine tests: status line, wait detail,
// indicator colour, message boxes and form values as they change; control rectangles; clicks.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <utility>

namespace {

std::string Utf8(const std::wstring& text) {
  char out[1024];
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

// WM_GETTEXT is carried across processes; GetWindowTextW is not, for controls.
std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return text;
}

bool IsDialog(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return std::wcscmp(name, L"#32770") == 0 && IsWindowVisible(window);
}

// The visible top-level dialog that holds control `id`.
HWND DialogWith(int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsDialog(window) && GetDlgItem(window, s->id)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The colour at the centre of the indicator as the screen shows it, as RRGGBB (the
// bitmap handle itself means nothing in another process).
std::string IndicatorColour(HWND control) {
  RECT rect{};
  if (!GetWindowRect(control, &rect)) return "none";
  HDC screen = GetDC(nullptr);
  const COLORREF colour =
      GetPixel(screen, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ReleaseDC(nullptr, screen);
  if (colour == CLR_INVALID) return "none";
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
}

int Checked(HWND dialog, int id) { return int(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0)); }

// The selected entry of a drop-down list, empty when none is.
std::wstring Selected(HWND dialog, int id) {
  wchar_t entry[64] = {};
  const LRESULT selection = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  if (selection >= 0)
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, WPARAM(selection), LPARAM(entry));
  return entry;
}

std::string FormValues(HWND form) {
  const std::wstring map = Selected(form, 1039);
  char line[600];
  std::snprintf(line, sizeof line, "%s|%s|%d|%d|%d|%d|%d",
                Utf8(TextOf(GetDlgItem(form, 1018))).c_str(), Utf8(map).c_str(),
                Checked(form, 1040), Checked(form, 1037), Checked(form, 1038),
                IsWindowEnabled(GetDlgItem(form, 1039)) ? 1 : 0,
                IsWindowEnabled(GetDlgItem(form, 1040)) ? 1 : 0);
  return line;
}

void Report(std::map<std::string, std::string>& last, const std::string& key,
            const std::string& value) {
  if (last[key] == value) return;
  last[key] = value;
  std::printf("%s=%s\n", key.c_str(), value.c_str());
  std::fflush(stdout);
}

// A message box's text as its first paragraph and the rest under it (the
// detail), the detail's line ends written as \n so that it stays one line.
std::pair<std::wstring, std::wstring> Paragraphs(std::wstring text) {
  for (std::size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;) text.erase(at, 1);
  const std::size_t gap = text.find(L"\n\n");
  if (gap == std::wstring::npos) return {text, L""};
  std::wstring detail = text.substr(gap + 2);
  for (std::size_t at; (at = detail.find(L'\n')) != std::wstring::npos;)
    detail.replace(at, 1, L"\\n");
  return {text.substr(0, gap), detail};
}

void ReportDialog(HWND window, std::map<std::string, std::string>& last,
                  std::map<HWND, bool>& boxes) {
  if (HWND line = GetDlgItem(window, 1014)) {
    Report(last, "status", Utf8(TextOf(line)));
    Report(last, "detail", Utf8(TextOf(GetDlgItem(window, 1016))));
    Report(last, "indicator", IndicatorColour(GetDlgItem(window, 1010)));
  } else if (GetDlgItem(window, 1018)) {
    Report(last, "form", FormValues(window));
    Report(last, "format", Utf8(Selected(window, 1042)));
  } else if (HWND text = GetDlgItem(window, 0xFFFF); text && !GetDlgItem(window, 1041)) {
    if (!boxes[window]) {  // a message box: its caption and its text, once
      boxes[window] = true;
      const auto [first, detail] = Paragraphs(TextOf(text));
      std::printf("msgbox=%s|%s\n", Utf8(TextOf(window)).c_str(), Utf8(first).c_str());
      if (!detail.empty()) std::printf("msgdetail=%s\n", Utf8(detail).c_str());
      std::fflush(stdout);
    }
  } else if (GetDlgItem(window, 1041)) {
    Report(last, "namedialog", "open");
  }
}

// Polls until killed. Its hidden window keeps Wine's desktop, and with it the
// clipboard, alive after the program under test has ended.
int Watch() {
  CreateWindowExW(0, L"STATIC", L"quarvel-watch", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                  GetModuleHandleW(nullptr), nullptr);
  std::printf("watching=1\n");
  std::fflush(stdout);
  std::map<std::string, std::string> last;
  std::map<HWND, bool> boxes;
  for (;;) {
    std::map<HWND, bool> seen;
    struct Pass {
      std::map<std::string, std::string>* last;
      std::map<HWND, bool>* boxes;
    } pass{&last, &boxes};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* p = reinterpret_cast<Pass*>(data);
          if (IsDialog(window)) ReportDialog(window, *p->last, *p->boxes);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&pass));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

// The screen rectangle of control `id` as x,y,width,height.
int Rect(int id) {
  HWND dialog = DialogWith(id);
  if (!dialog) return 1;
  RECT rect{};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  std::printf("rect=%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

// Where the dialog holding control `id` sits, against the work area, and whether it
// has a minimise box.
int Placement(int id) {
  HWND dialog = DialogWith(id);
  if (!dialog) return 1;
  RECT rect{}, work{};
  GetWindowRect(dialog, &rect);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  std::printf("window=%ld,%ld,%ld,%ld\nwork=%ld,%ld,%ld,%ld\nminimizebox=%d\n", rect.left, rect.top,
              rect.right, rect.bottom, work.left, work.top, work.right, work.bottom,
              (GetWindowLongW(dialog, GWL_STYLE) & WS_MINIMIZEBOX) ? 1 : 0);
  return 0;
}

// A click on button `id`, posted so that a menu or box it opens does not hold us.
int Click(int id) {
  HWND dialog = DialogWith(id);
  if (!dialog) return 1;
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  std::printf("clicked=%d\n", id);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"watch") return Watch();
  if (command == L"rect" && argc > 2) return Rect(_wtoi(argv[2]));
  if (command == L"click" && argc > 2) return Click(_wtoi(argv[2]));
  if (command == L"placement" && argc > 2) return Placement(_wtoi(argv[2]));
  std::fprintf(stderr, "usage: window_probe watch | rect ID | click ID\n");
  return 2;
}

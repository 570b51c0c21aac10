// What a desktop makes of the programs, for the Wine tests: the manifest each .exe
// carries and what the loader reads from it, the DPI awareness and Common
// Controls of a running program's window, and whether every text of a
// running dialog fits its control at the display's DPI.
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00
#include <windows.h>

#include <psapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void Print(const char* key, const std::string& value) {
  std::printf("%s=%s\n", key, value.c_str());
}

// Which comctl32 a module handle or a process has: its path, which names the
// side-by-side assembly of Common Controls 6 (Wine's copies both carry 5.81 as
// their version, so the version says nothing).
std::string ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  if (!module || !GetModuleFileNameW(module, path, MAX_PATH)) return "none";
  return Utf8(path);
}

std::wstring ActCtxSetting(HANDLE context, const wchar_t* space, const wchar_t* name) {
  wchar_t value[128] = {};
  SIZE_T written = 0;
  if (!QueryActCtxSettingsW(0, context, space, name, value, 128, &written)) return L"(none)";
  return value;
}

BOOL CALLBACK EachManifest(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
  auto* list = reinterpret_cast<std::string*>(ids);
  if (!list->empty()) *list += ",";
  *list += IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name)) : Utf8(name);
  return TRUE;
}

// The manifest resources of exe, the first one's text (hex, so that no byte is
// lost on the way), and what the loader makes of it: its DPI settings and the
// Common Controls it binds.
int Manifest(const wchar_t* exe) {
  HMODULE image =
      LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!image) return 1;
  std::string ids;
  EnumResourceNamesW(image, RT_MANIFEST, EachManifest, reinterpret_cast<LONG_PTR>(&ids));
  Print("manifest_ids", ids);
  HRSRC found = FindResourceW(image, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  const auto* bytes =
      found ? static_cast<const unsigned char*>(LockResource(LoadResource(image, found))) : nullptr;
  std::string hex;
  for (DWORD i = 0; bytes && i < SizeofResource(image, found); ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    hex += pair;
  }
  Print("manifest_hex", hex);
  FreeLibrary(image);

  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe;
  request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
  HANDLE context = CreateActCtxW(&request);
  Print("actctx", context != INVALID_HANDLE_VALUE ? "1" : "0");
  if (context == INVALID_HANDLE_VALUE) return 0;
  Print("dpiAware",
        Utf8(ActCtxSetting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                           L"dpiAware")));
  Print("dpiAwareness",
        Utf8(ActCtxSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                           L"dpiAwareness")));
  ULONG_PTR cookie = 0;
  if (ActivateActCtx(context, &cookie)) {
    Print("comctl32", ModulePath(LoadLibraryW(L"comctl32.dll")));
    DeactivateActCtx(0, cookie);
  }
  ReleaseActCtx(context);
  return 0;
}

// The comctl32 that process `pid` has loaded.
std::string LoadedComctl32(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return "unknown";
  HMODULE modules[512];
  DWORD size = 0;
  std::string found = "none";
  if (EnumProcessModules(process, modules, sizeof modules, &size)) {
    for (DWORD i = 0; i < size / sizeof(HMODULE); ++i) {
      wchar_t path[MAX_PATH] = {};
      GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
      if (_wcsicmp(PathFindFileNameW(path), L"comctl32.dll") == 0) found = Utf8(path);
    }
  }
  CloseHandle(process);
  return found;
}

// The top-level window titled `title`: its caption bit, DPI and awareness, and
// the comctl32 its process runs with.
int Window(const wchar_t* title) {
  HWND window = FindWindowW(nullptr, title);
  if (!window) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  Print("caption", (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION ? "1" : "0");
  Print("dpi", std::to_string(GetDpiForWindow(window)));
  Print("awareness", std::to_string(int(GetAwarenessFromDpiAwarenessContext(
                         GetWindowDpiAwarenessContext(window)))));
  Print("comctl32", LoadedComctl32(pid));
  return 0;
}

// ---- layout -----------------------------------------------------------------

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return text;
}

HWND DialogWith(int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wcscmp(name, L"#32770") || !IsWindowVisible(window) || !GetDlgItem(window, s->id))
          return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Measures as the dialog manager draws: the templates' 8 pt "MS Shell Dlg" at the
// window's DPI, word-wrapped in the control's width as a static's text is.
struct Measure {
  HDC dc;
  HFONT font;
  HGDIOBJ old;
  UINT dpi;
  explicit Measure(UINT windowDpi)
      : dc(CreateCompatibleDC(nullptr)),
        font(CreateFontW(-MulDiv(8, int(windowDpi), 72), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, FF_DONTCARE, L"MS Shell Dlg")),
        old(SelectObject(dc, font)),
        dpi(windowDpi) {}
  ~Measure() {
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
  }
  SIZE Wrapped(const std::wstring& text, int width) const {
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return {rect.right, rect.bottom};
  }
  int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, int(dpi), 96); }
};

// One text: the control's id, its kind, the text, the size it needs and the size
// it has, and the control's place in the dialog's client area.
void Report(HWND control, const char* kind, const std::wstring& text, SIZE need, SIZE have) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  std::printf("fit=%d|%s|%s|%ld,%ld|%ld,%ld|%ld,%ld,%ld,%ld\n", GetDlgCtrlID(control), kind,
              Utf8(text).c_str(), need.cx, need.cy, have.cx, have.cy, place.left, place.top,
              place.right, place.bottom);
}

// Room a text needs in a control of the given kind, besides the text itself.
void FitControl(HWND control, const Measure& measure) {
  wchar_t className[32] = {};
  GetClassNameW(control, className, 32);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  RECT client{};
  GetClientRect(control, &client);
  const SIZE have{client.right, client.bottom};
  const std::wstring text = TextOf(control);
  if (!_wcsicmp(className, L"Static") && (style & SS_TYPEMASK) <= SS_RIGHT) {
    Report(control, "static", text, measure.Wrapped(text, have.cx), have);
  } else if (!_wcsicmp(className, L"Button")) {
    const bool check =
        (style & BS_TYPEMASK) == BS_AUTOCHECKBOX || (style & BS_TYPEMASK) == BS_CHECKBOX;
    // A check box's text sits beside its 13-pixel box; a push button's inside its edges.
    const int extra = check ? measure.Scaled(13 + 4) : measure.Scaled(2 * 3);
    SIZE need = measure.Wrapped(text, 0x7FFF);
    need.cx += extra;
    Report(control, check ? "check" : "button", text, need, have);
  } else if (!_wcsicmp(className, L"ComboBox")) {
    // The widest entry beside the drop-down arrow, in the list as it drops down.
    const int arrow = GetSystemMetricsForDpi(SM_CXVSCROLL, measure.dpi) + measure.Scaled(2 * 3);
    const LONG dropped = LONG(SendMessageW(control, CB_GETDROPPEDWIDTH, 0, 0));
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t entry[128] = {};
      if (SendMessageW(control, CB_GETLBTEXTLEN, WPARAM(i), 0) >= 128) continue;
      SendMessageW(control, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(entry));
      SIZE need = measure.Wrapped(entry, 0x7FFF);
      need.cx += arrow;
      Report(control, "entry", entry, need, {std::max(have.cx, dropped), need.cy});
    }
  }
}

// The strings `ids` of the program that owns `control`, as if shown in it.
void FitStrings(HWND control, const Measure& measure, const std::vector<int>& ids) {
  DWORD pid = 0;
  GetWindowThreadProcessId(control, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  if (!process || !QueryFullProcessImageNameW(process, 0, path, &length)) return;
  CloseHandle(process);
  HMODULE image = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  RECT client{};
  GetClientRect(control, &client);
  for (int id : ids) {
    wchar_t text[128] = {};
    if (!LoadStringW(image, UINT(id), text, 128)) continue;
    Report(control, "string", text, measure.Wrapped(text, client.right),
           {client.right, client.bottom});
  }
  if (image) FreeLibrary(image);
}

// Every text of the dialog holding control `id`, and the given string ids as
// that control's text: what it needs and what it has, in pixels.
int Layout(int id, const std::vector<int>& strings) {
  HWND dialog = DialogWith(id);
  if (!dialog) return 1;
  const Measure measure(GetDpiForWindow(dialog));
  Print("dpi", std::to_string(measure.dpi));
  RECT client{}, window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  std::printf("client=%ld,%ld\nwindow=%ld,%ld,%ld,%ld\nwork=%ld,%ld,%ld,%ld\n", client.right,
              client.bottom, window.left, window.top, window.right, window.bottom, work.left,
              work.top, work.right, work.bottom);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) FitControl(child, measure);
  }
  FitStrings(GetDlgItem(dialog, id), measure, strings);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Pixels as they are: an unaware probe would see every window scaled to 96 DPI.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const std::wstring command = argc > 1 ? argv[1] : L"";
  int status = 2;
  if (command == L"manifest" && argc > 2) status = Manifest(argv[2]);
  if (command == L"window" && argc > 2) status = Window(argv[2]);
  if (command == L"layout" && argc > 2) {
    std::vector<int> strings;
    for (int i = 3; i < argc; ++i) strings.push_back(_wtoi(argv[i]));
    status = Layout(_wtoi(argv[2]), strings);
  }
  if (status == 2)
    std::fprintf(stderr,
                 "usage: desktop_probe manifest EXE | window TITLE | layout ID [STRING...]\n");
  std::fflush(stdout);
  return status;
}

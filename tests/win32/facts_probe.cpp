// Checks, under Wine, the Win32 behaviour that platform/win32 relies on: COM
// port opening and settings, interval time-outs, cancelling an overlapped read,
// and CF_UNICODETEXT export. Prints one "key=value" line per finding.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void Report(const char* key, const std::string& value) {
  std::printf("%s=%s\n", key, value.c_str());
  std::fflush(stdout);
}

void Report(const char* key, unsigned long value) { Report(key, std::to_string(value)); }

HANDLE OpenPort(const wchar_t* name, DWORD flags) {
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Opens each spelling of the port name the programs accept.
void CheckNames(const wchar_t* number) {
  const std::wstring spellings[] = {std::wstring(L"COM") + number,
                                    std::wstring(L"COM") + number + L":",
                                    std::wstring(L"\\\\.\\COM") + number};
  for (int i = 0; i < 3; ++i) {
    HANDLE port = OpenPort(spellings[i].c_str(), 0);
    std::string key = "open_" + std::to_string(i);
    Report(key.c_str(), port == INVALID_HANDLE_VALUE ? GetLastError() : 0UL);
    if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
  }
}

// Which DCBlength values SetCommState accepts, and what stays of the line settings.
void CheckDcb(HANDLE port) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  Report("getcommstate", GetCommState(port, &dcb) ? 1UL : 0UL);
  Report("sizeof_dcb", sizeof dcb);
  Report("line", std::to_string(dcb.ByteSize) + "/" + std::to_string(dcb.Parity) + "/" +
                     std::to_string(dcb.StopBits));
  for (DWORD length : {DWORD{28}, DWORD{sizeof(DCB)}, DWORD{0}}) {
    DCB changed = dcb;
    changed.DCBlength = length;
    changed.BaudRate = 4800;
    std::string key = "setcommstate_len" + std::to_string(length);
    Report(key.c_str(), SetCommState(port, &changed) ? 1UL : GetLastError() * 1000);
  }
  DCB after{};
  after.DCBlength = sizeof after;
  GetCommState(port, &after);
  Report("baud_after", after.BaudRate);
}

// Reads until the peer is silent for the interval; reports the text and the time.
void CheckIntervalRead(HANDLE port) {
  COMMTIMEOUTS timeouts{50, 0, 0, 0, 0};
  Report("setcommtimeouts", SetCommTimeouts(port, &timeouts) ? 1UL : 0UL);
  std::printf("ready\n");
  std::fflush(stdout);
  char buffer[513] = {};
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD count = 0;
  if (!ReadFile(port, buffer, 512, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
    Report("read_error", GetLastError());
    return;
  }
  DWORD start = GetTickCount();
  GetOverlappedResult(port, &overlapped, &count, TRUE);
  Report("read_text", std::string(buffer, count));
  Report("read_ms_after_first", GetTickCount() - start);

  // A read with nothing arriving: a stop event ends the wait, CancelIoEx the read.
  ResetEvent(overlapped.hEvent);
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  timeouts = {0, 0, 0, 0, 0};  // no interval: wait for data without end
  SetCommTimeouts(port, &timeouts);
  if (!ReadFile(port, buffer, 512, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
    Report("read2_error", GetLastError());
    return;
  }
  HANDLE waits[] = {overlapped.hEvent, stop};
  SetEvent(stop);
  DWORD which = WaitForMultipleObjects(2, waits, FALSE, 5000);
  Report("stop_woke", which == WAIT_OBJECT_0 + 1 ? 1UL : 0UL);
  DWORD cancelStart = GetTickCount();
  Report("cancelioex", CancelIoEx(port, &overlapped) ? 1UL : GetLastError() * 1000);
  BOOL done = GetOverlappedResult(port, &overlapped, &count, TRUE);
  Report("cancelled_error", done ? 0UL : GetLastError());
  Report("cancel_ms", GetTickCount() - cancelStart);
  CloseHandle(stop);
  CloseHandle(overlapped.hEvent);
}

int Serial(const wchar_t* number) {
  CheckNames(number);
  HANDLE port = OpenPort((std::wstring(L"\\\\.\\COM") + number).c_str(), FILE_FLAG_OVERLAPPED);
  if (port == INVALID_HANDLE_VALUE) {
    Report("open_overlapped", GetLastError());
    return 1;
  }
  HANDLE second = OpenPort((std::wstring(L"\\\\.\\COM") + number).c_str(), 0);
  Report("second_open_error", second == INVALID_HANDLE_VALUE ? GetLastError() : 0UL);
  if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
  CheckDcb(port);
  CheckIntervalRead(port);
  CloseHandle(port);
  return 0;
}

LRESULT CALLBACK KeeperProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, w, l);
}

// Publishes the text, then keeps a window open so the clipboard stays served.
int Clipboard(const wchar_t* text, SIZE_T blockBytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, blockBytes);
  auto* chars = static_cast<wchar_t*>(GlobalLock(block));
  std::wcsncpy(chars, text, blockBytes / sizeof(wchar_t) - 1);
  // Without zeroing, the bytes after the terminator would reach X11 too.
  for (size_t i = std::wcslen(text) + 1; i < blockBytes / sizeof(wchar_t); ++i) chars[i] = L'x';
  GlobalUnlock(block);
  bool ok = OpenClipboard(nullptr) && EmptyClipboard() &&
            SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  Report("clipboard_set", ok ? 1UL : 0UL);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = KeeperProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuarvelProbeKeeper";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"QuarvelProbeKeeper", L"Quarvel probe keeper", WS_OVERLAPPEDWINDOW,
                              0, 0, 200, 60, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  SetTimer(window, 1, 60000, nullptr);  // never outlive a forgotten test
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) DestroyWindow(window);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wcscmp(argv[1], L"serial") == 0) return Serial(argv[2]);
  if (argc >= 4 && std::wcscmp(argv[1], L"clipboard") == 0)
    return Clipboard(argv[2], std::wcstoul(argv[3], nullptr, 10));
  std::fprintf(stderr, "usage: facts_probe serial N | clipboard TEXT BLOCKBYTES\n");
  return 2;
}

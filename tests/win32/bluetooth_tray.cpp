// A stand-in for the Widcomm Bluetooth tray: a "WCE_BTTRAY" window that answers the
// three registered messages and prints each call, so a test sees their order.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

UINT statusMessage, onMessage, offMessage;
bool radioOn = false;

void Log(const char* call, LRESULT answer) {
  std::printf("call=%s answer=%lld radio=%d\n", call, static_cast<long long>(answer),
              radioOn ? 1 : 0);
  std::fflush(stdout);
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == statusMessage) {
    const LRESULT answer = radioOn ? 1 : 4;  // 4: the radio is off
    Log("status", answer);
    return answer;
  }
  if (message == onMessage || message == offMessage) {
    radioOn = message == onMessage;
    Log(radioOn ? "on" : "off", 1);
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  radioOn = argc > 1 && std::wcscmp(argv[1], L"on") == 0;
  statusMessage = RegisterWindowMessageW(L"WIDCOMM_WM_GETSTACKSTATUS");
  onMessage = RegisterWindowMessageW(L"WIDCOMM_WM_BTRADIO_ON");
  offMessage = RegisterWindowMessageW(L"WIDCOMM_WM_BTRADIO_OFF");
  WNDCLASSW type{};
  type.lpfnWndProc = TrayProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"WCE_BTTRAY";
  if (!RegisterClassW(&type)) return 1;
  if (!CreateWindowExW(0, L"WCE_BTTRAY", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                       type.hInstance, nullptr)) {
    return 1;
  }
  std::printf("ready=1 radio=%d\n", radioOn ? 1 : 0);
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

// Starts a program for the Wine tests and prints "exit=N" when it ends: as the Start
// menu does (no console, no standard handles: DETACHED_PROCESS, nothing inherited),
// or with --ctrl-c MS on this console, pressing Ctrl-C there after MS milliseconds.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  const bool ctrlC = argc > 3 && std::wcscmp(argv[1], L"--ctrl-c") == 0;
  const int first = ctrlC ? 3 : 1;
  if (argc <= first) {
    std::fprintf(stderr, "usage: launch_probe [--ctrl-c MS] EXE [ARGUMENT...]\n");
    return 2;
  }
  std::wstring line = L"\"" + std::wstring(argv[first]) + L"\"";
  for (int i = first + 1; i < argc; ++i) line += L" " + std::wstring(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, ctrlC ? 0 : DETACHED_PROCESS,
                      nullptr, nullptr, &startup, &process)) {
    std::printf("error=%lu\n", GetLastError());
    return 1;
  }
  if (ctrlC && WaitForSingleObject(process.hProcess, DWORD(_wtoi(argv[2]))) == WAIT_TIMEOUT) {
    SetConsoleCtrlHandler(nullptr, TRUE);  // the press is for the program, not for this one
    const BOOL pressed = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    std::printf("pressed=%d error=%lu\n", pressed, pressed ? 0UL : GetLastError());
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit=%lu\n", code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

// Starts a program as the Start menu does, for the Wine tests: no console and no
// standard handles (DETACHED_PROCESS, nothing inherited); waits for it and prints
// "exit=N".
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: launch_probe EXE [ARGUMENT...]\n");
    return 2;
  }
  std::wstring line = L"\"" + std::wstring(argv[1]) + L"\"";
  for (int i = 2; i < argc; ++i) line += L" " + std::wstring(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process)) {
    std::printf("error=%lu\n", GetLastError());
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit=%lu\n", code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

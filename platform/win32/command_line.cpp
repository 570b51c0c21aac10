// The launch-argument line on Windows from an argument vector in the ANSI code page.
#include <windows.h>

#include "platform/command_line.h"

#include <cstring>

std::u16string JoinCommandLine(int argc, char** argv) {
  std::u16string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += u' ';
    const int bytes = int(std::strlen(argv[i]));
    if (bytes == 0) continue;
    const int units = MultiByteToWideChar(CP_ACP, 0, argv[i], bytes, nullptr, 0);
    std::wstring wide(size_t(units > 0 ? units : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, argv[i], bytes, wide.data(), units);
    for (wchar_t unit : wide) line += char16_t(unit);
  }
  return line;
}

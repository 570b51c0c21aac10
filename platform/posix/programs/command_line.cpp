// The launch-argument line from argv on Linux, whose arguments are UTF-8.
#include "platform/command_line.h"

#include "common/utf8.h"

std::u16string JoinCommandLine(int argc, char** argv) {
  std::u16string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += u' ';
    line += utf8::Utf8ToUtf16(argv[i]);
  }
  return line;
}

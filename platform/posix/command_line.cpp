// The launch-argument line from argv on Linux, whose arguments are UTF-8.
#include "platform/command_line.h"

#include <cstring>

#include "common/utf8.h"

std::u16string JoinCommandLine(int argc, char** argv) {
  std::u16string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += u' ';
    auto* bytes = reinterpret_cast<const unsigned char*>(argv[i]);
    for (std::size_t left = std::strlen(argv[i]); left > 0;) {
      utf8::Decoded d = utf8::Decode(bytes, left);
      if (d.length == 0) d = {0xFFFD, 1};
      char16_t units[2];
      line.append(units, utf8::EncodeUtf16(d.code, units));
      bytes += d.length;
      left -= d.length;
    }
  }
  return line;
}

// Fuzzes the launch-argument parser with arbitrary UTF-16, checks it against a plain
// word split of the same line, and the composed line of the result against the parser.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "settings/launch_arguments.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

std::vector<std::u16string> Words(const std::u16string& line) {
  std::vector<std::u16string> words(1);
  for (char16_t c : line) {
    if (c == u' ') {
      words.emplace_back();
    } else {
      words.back() += c;
    }
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string units(size / 2, 0);
  std::memcpy(units.data(), data, units.size() * 2);
  const std::u16string line = units.substr(0, units.find(char16_t(0)));

  Settings settings;
  settings.bluetooth = size % 2;  // a start other than the defaults, now and then
  const Settings start = settings;
  ParseLaunchArguments(line.c_str(), settings);

  const std::vector<std::u16string> words = Words(line);
  Check(std::u16string(settings.portName) == words[0].substr(0, kPortNameUnits));
  const auto expectLetter = [&](std::size_t i, const char16_t* before) {
    return i < words.size() && !words[i].empty() ? std::u16string(1, words[i].back())
                                                 : std::u16string(before);
  };
  Check(std::u16string(settings.mapType) == expectLetter(1, start.mapType));
  const auto expectFlag = [&](std::size_t i, uint8_t before) {
    return i < words.size() && !words[i].empty() ? uint8_t(words[i].back() == u'1') : before;
  };
  Check(settings.liteMap == expectFlag(2, start.liteMap));
  Check(settings.bluetooth == expectFlag(3, start.bluetooth));
  Check(settings.coordinatesOnly == expectFlag(4, start.coordinatesOnly));

  // A parsed record holds no space, so the line a shortcut would carry for it reads
  // back as the same record.
  Settings again;
  ParseLaunchArguments(ComposeLaunchArguments(settings).c_str(), again);
  Check(std::u16string(again.portName) == settings.portName);
  Check(std::u16string(again.mapType) == settings.mapType);
  Check(again.liteMap == settings.liteMap && again.bluetooth == settings.bluetooth &&
        again.coordinatesOnly == settings.coordinatesOnly);
  return 0;
}

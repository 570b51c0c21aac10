// Answers "FORMAT LATITUDE LONGITUDE" lines on standard input with the line FormatPosition
// writes, so that a test can hold Quarvel's forms against reference tools.
#include <charconv>
#include <iostream>
#include <sstream>
#include <string>

#include "common/utf8.h"
#include "locator/position_formats.h"

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string name, lat, lon;
    words >> name >> lat >> lon;
    PositionRecord position;
    std::from_chars(lat.data(), lat.data() + lat.size(), position.latitude);
    std::from_chars(lon.data(), lon.data() + lon.size(), position.longitude);
    const auto format = FindPositionFormat(utf8::Utf8ToUtf16(name));
    if (!format) return 2;
    std::cout << utf8::Utf16ToUtf8(FormatPosition(*format, position)) << '\n';
  }
  return 0;
}

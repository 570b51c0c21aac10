// Quarvel's own texts for the map page tests: reads requests on standard input, one a
// line, and answers each with one line of UTF-8.
//   url LAT LON LETTER LITE   the map URL, a tab, the coordinates text of the position
//                             as the URL states it (LETTER one ASCII character, "-" for
//                             none; LITE 0 or 1)
//   coordinates LAT LON       the coordinates text
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "common/utf8.h"
#include "locator/position_text.h"

namespace {

double ToDouble(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

std::string Narrow(const char16_t* text) { return utf8::Utf16ToUtf8(text); }

std::string Coordinates(double latitude, double longitude) {
  char16_t text[kCoordinatesTextSize];
  FormatCoordinates(latitude, longitude, text);
  return Narrow(text);
}

// What the page reads back: the 8-digit number text, not the double behind it.
double AsWritten(double value) {
  char16_t text[kNumberTextSize];
  FormatNumber(value, text);
  return ToDouble(Narrow(text));
}

std::string Answer(const std::string& line) {
  std::istringstream words(line);
  std::string request, a, b, letter, lite;
  words >> request >> a >> b >> letter >> lite;
  if (request == "coordinates") return Coordinates(ToDouble(a), ToDouble(b));
  if (request == "url") {
    const std::u16string mapType(letter == "-" ? 0 : 1, static_cast<char16_t>(letter[0]));
    char16_t url[kMapUrlSize];
    FormatMapUrl(ToDouble(a), ToDouble(b), mapType.c_str(), lite == "1", url);
    return Narrow(url) + "\t" + Coordinates(AsWritten(ToDouble(a)), AsWritten(ToDouble(b)));
  }
  return "unknown request: " + line;
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) std::cout << Answer(line) << '\n';
  return 0;
}

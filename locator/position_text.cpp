// Number, coordinates and map-URL texts of a position, built in fixed buffers.
#include "locator/position_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/utf8.h"

namespace {

// Appends to a fixed buffer, always terminated; what does not fit is dropped.
struct TextWriter {
  char16_t* out;
  std::size_t size;
  std::size_t length = 0;

  TextWriter(char16_t* buffer, std::size_t bufferSize) : out(buffer), size(bufferSize) {
    out[0] = 0;
  }
  void Put(char16_t c) {
    if (length + 1 < size) {
      out[length++] = c;
      out[length] = 0;
    }
  }
  void Put(const char16_t* text) {
    while (*text) Put(*text++);
  }
  void PutAscii(const char* text) {
    while (*text) Put(static_cast<char16_t>(*text++));
  }
};

// A double's exact decimal expansion has at most 767 significant digits, so
// this many digits after the point are the value itself, never rounded.
constexpr int kExactDigits = 770;

struct RoundedDigits {
  char digit[8];  // d.ddddddd
  int exponent;   // power of ten of the first digit
};

// Rounds a finite, non-zero magnitude to 8 significant digits, halves away
// from zero as the handheld runtime did (to_chars's own rounding would take
// exact halves to even).
RoundedDigits RoundToEightDigits(double magnitude) {
  char exact[kExactDigits + 16];
  const auto result = std::to_chars(exact, exact + sizeof exact, magnitude,
                                    std::chars_format::scientific, kExactDigits);
  RoundedDigits rounded{};
  rounded.digit[0] = exact[0];
  for (int i = 1; i < 8; ++i) rounded.digit[i] = exact[i + 1];  // skip the point
  const char* e = exact + 2 + kExactDigits;                     // at 'e'
  const bool negativeExponent = e[1] == '-';
  std::from_chars(e + 2, result.ptr, rounded.exponent);
  if (negativeExponent) rounded.exponent = -rounded.exponent;

  if (exact[9] >= '5') {
    int i = 7;
    while (i >= 0 && rounded.digit[i] == '9') rounded.digit[i--] = '0';
    if (i >= 0) {
      ++rounded.digit[i];
    } else {  // 99999999.5 becomes 100000000
      rounded.digit[0] = '1';
      ++rounded.exponent;
    }
  }
  return rounded;
}

// Writes the digits after the point without their trailing zeros.
void PutFraction(TextWriter& text, const char* digits, int count) {
  while (count > 0 && digits[count - 1] == '0') --count;
  for (int i = 0; i < count; ++i) text.Put(static_cast<char16_t>(digits[i]));
}

void PutNumber(TextWriter& text, double value) {
  if (std::isnan(value)) return text.PutAscii("nan");
  if (value < 0) text.Put(u'-');
  if (std::isinf(value)) return text.PutAscii("inf");
  if (value == 0) return text.PutAscii("0.");  // minus zero too

  const RoundedDigits rounded = RoundToEightDigits(std::fabs(value));
  const int e = rounded.exponent;
  if (e >= -1 && e <= 7) {  // at least 0.1 and below 1e8
    if (e == -1) {
      text.PutAscii("0.");
      PutFraction(text, rounded.digit, 8);
    } else {
      for (int i = 0; i <= e; ++i) text.Put(static_cast<char16_t>(rounded.digit[i]));
      text.Put(u'.');
      PutFraction(text, rounded.digit + e + 1, 7 - e);
    }
    return;
  }
  text.Put(static_cast<char16_t>(rounded.digit[0]));
  text.Put(u'.');
  PutFraction(text, rounded.digit + 1, 7);
  text.Put(u'e');
  text.Put(e < 0 ? u'-' : u'+');
  const int magnitude = e < 0 ? -e : e;  // at most 324
  text.Put(static_cast<char16_t>(u'0' + magnitude / 100));
  text.Put(static_cast<char16_t>(u'0' + magnitude / 10 % 10));
  text.Put(static_cast<char16_t>(u'0' + magnitude % 10));
}

// Truncation toward zero that stays defined for any double: out-of-range
// values saturate and NaN becomes 0. Coordinates are far inside the range.
std::int64_t TruncateToInteger(double value) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (std::isnan(value)) return 0;
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

void PutInteger(TextWriter& text, std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  *result.ptr = 0;
  text.PutAscii(digits);
}

// Whole degrees, degree sign, minutes cut to thousandths by the double
// arithmetic in exactly this order (-43.1729 gives 10.373, not 10.374).
void PutAngle(TextWriter& text, double degrees) {
  const std::int64_t whole = TruncateToInteger(degrees);
  PutInteger(text, whole);
  text.Put(u'\u00B0');
  const double minutes = static_cast<double>(TruncateToInteger(
                             (degrees - static_cast<double>(whole)) * 60.0 * 1000.0)) *
                         0.001;
  PutNumber(text, minutes);
}

bool IsUnreservedInUrl(char32_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'-' || c == u'.' || c == u'_' || c == u'~';
}

// The map type is one unvalidated character; anything but a plain letter or
// digit is percent-encoded (UTF-8) so it cannot break or cut the query.
void PutQueryCharacter(TextWriter& text, char16_t c) {
  if (IsUnreservedInUrl(c)) return text.Put(c);
  const char32_t code = utf8::IsSurrogate(c) ? 0xFFFD : c;  // a lone surrogate
  char bytes[4];
  const std::size_t count = utf8::Encode(code, bytes);
  constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text.Put(u'%');
    text.Put(static_cast<char16_t>(kHex[byte >> 4]));
    text.Put(static_cast<char16_t>(kHex[byte & 0xF]));
  }
}

}  // namespace

std::size_t FormatNumber(double value, char16_t (&text)[kNumberTextSize]) {
  TextWriter writer(text, kNumberTextSize);
  PutNumber(writer, value);
  return writer.length;
}

std::size_t FormatCoordinates(double latitude, double longitude,
                              char16_t (&text)[kCoordinatesTextSize]) {
  TextWriter writer(text, kCoordinatesTextSize);
  char16_t hemisphere = u'N';
  if (!(latitude > 0)) {
    latitude *= -1.0;
    hemisphere = u'S';
  }
  writer.Put(hemisphere);
  PutAngle(writer, latitude);
  writer.Put(u' ');
  hemisphere = u'E';
  if (!(longitude > 0)) {
    longitude *= -1.0;
    hemisphere = u'W';
  }
  writer.Put(hemisphere);
  PutAngle(writer, longitude);
  return writer.length;
}

std::size_t FormatMapUrl(double latitude, double longitude, const char16_t* mapType, bool liteMap,
                         char16_t (&url)[kMapUrlSize], const char16_t* host) {
  TextWriter writer(url, kMapUrlSize);
  writer.Put(u"http://");
  writer.Put(host ? host : kMapHost);
  writer.Put(u"/quarvel/?lat=");
  PutNumber(writer, latitude);
  writer.Put(u"&lon=");
  PutNumber(writer, longitude);
  if (mapType && mapType[0]) {
    writer.Put(u"&t=");
    PutQueryCharacter(writer, mapType[0]);
  }
  if (liteMap) writer.Put(u"&s=1");
  return writer.length;
}

// Locale-independent leading-number conversions of NMEA fields, C library style.
#include "locator/nmea_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kOneSixtieth = 1.0 / 60;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipDigits(const char* p) {
  while (IsDigit(*p)) ++p;
  return p;
}

// Skips blanks and a sign; tells whether the sign was '-'.
const char* SkipBlanksAndSign(const char* p, bool* negative) {
  while (IsBlank(*p)) ++p;
  *negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  return p;
}

}  // namespace

std::size_t NmeaFieldLength(const char* position) {
  std::size_t length = 0;
  while (length < kNmeaFieldMax && position[length] != ',' && position[length] != '*' &&
         position[length] != '\0') {
    ++length;
  }
  return length;
}

int32_t NmeaReadInt(const char* field) {
  bool negative = false;
  const char* p = SkipBlanksAndSign(field, &negative);
  // Accumulated as a negative number so that the most negative value fits.
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; IsDigit(*p); ++p) {
    value = value * 10 - (*p - '0');
    if (value < -kLimit) value = -kLimit;
  }
  if (!negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

uint8_t NmeaReadByte(const char* field) {
  return static_cast<uint8_t>(static_cast<uint32_t>(NmeaReadInt(field)) & 0xFFu);
}

double NmeaReadDouble(const char* field) {
  bool negative = false;
  const char* begin = SkipBlanksAndSign(field, &negative);
  const char* p = SkipDigits(begin);
  const bool wholeDigits = p != begin;
  bool fractionDigits = false;
  if (*p == '.') {
    const char* afterPoint = SkipDigits(p + 1);
    fractionDigits = afterPoint != p + 1;
    p = afterPoint;
  }
  if (!wholeDigits && !fractionDigits) return 0.0;
  bool negativeExponent = false;
  if (*p == 'e' || *p == 'E') {
    const char* exponent = p + 1;
    negativeExponent = *exponent == '-';
    if (*exponent == '-' || *exponent == '+') ++exponent;
    if (IsDigit(*exponent)) p = SkipDigits(exponent);
  }
  double value = 0.0;
  const std::from_chars_result result = std::from_chars(begin, p, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Twenty characters cannot leave the range without an exponent, so its sign decides.
    value = negativeExponent ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}

float NmeaReadFloat(const char* field) { return static_cast<float>(NmeaReadDouble(field)); }

int32_t NmeaReadIntViaDouble(const char* field) {
  const double value = std::trunc(NmeaReadDouble(field));
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

NmeaTimePairs NmeaReadTimePairs(const char* field) {
  const std::size_t length = std::strlen(field);
  int32_t pairs[3] = {0, 0, 0};
  for (std::size_t i = 0; i < 3 && 2 * i < length; ++i) {
    const char pair[3] = {field[2 * i], field[2 * i + 1], '\0'};  // [2i+1] may be the NUL
    pairs[i] = NmeaReadInt(pair);
  }
  return {pairs[0], pairs[1], pairs[2]};
}

double NmeaCoordToDegrees(const char* field) {
  if (field[0] == '\0') return 0.0;
  const char* point = std::strchr(field, '.');
  const std::size_t wholeLength = point ? static_cast<std::size_t>(point - field) : std::strlen(field);
  if (wholeLength <= 2) return NmeaReadDouble(field) * kOneSixtieth;
  char degrees[kNmeaFieldMax + 1] = {};
  std::memcpy(degrees, field, std::min(wholeLength - 2, kNmeaFieldMax));
  return NmeaReadInt(degrees) + NmeaReadDouble(field + wholeLength - 2) * kOneSixtieth;
}

// Locale-independent leading-number conversions of NMEA fields, C library style.
#include "nmea/fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

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

int32_t NmeaReadInt(const char* field) {
  bool negative = false;
  const char* p = IsDigit(*field) ? field : SkipBlanksAndSign(field, &negative);
  uint64_t value = 0;
  int digits = 0;
  for (; IsDigit(*p); ++p, ++digits) value = value * 10 + static_cast<uint64_t>(*p - '0');
  constexpr uint64_t kCap = uint64_t{1} << 31;  // past it every value saturates
  if (digits > 18) {
    // Up to 18 digits cannot wrap 64 bits; longer runs are summed again, capped.
    value = 0;
    for (const char* q = p - digits; q != p; ++q) {
      value = std::min(value * 10 + static_cast<uint64_t>(*q - '0'), kCap);
    }
  }
  value = std::min(value, kCap);
  if (negative) return static_cast<int32_t>(-static_cast<int64_t>(value));
  return static_cast<int32_t>(std::min<uint64_t>(value, std::numeric_limits<int32_t>::max()));
}

double NmeaReadDouble(const char* field) {
  bool negative = false;
  const char* begin = IsDigit(*field) ? field : SkipBlanksAndSign(field, &negative);
  // Digits gathered on the way for the exact fast path; `digits` counts them all.
  uint64_t mantissa = 0;
  int digits = 0;
  int fractionDigits = 0;
  const char* p = begin;
  for (; IsDigit(*p); ++p, ++digits) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
  const bool wholeDigits = p != begin;
  if (*p == '.') {
    for (++p; IsDigit(*p); ++p, ++digits, ++fractionDigits) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    }
  }
  if (!wholeDigits && fractionDigits == 0) return 0.0;
  bool exponent = false;
  bool negativeExponent = false;
  if (*p == 'e' || *p == 'E') {
    const char* e = p + 1;
    negativeExponent = *e == '-';
    if (*e == '-' || *e == '+') ++e;
    if (IsDigit(*e)) {
      p = SkipDigits(e);
      exponent = true;
    }
  }
  double value = 0.0;
  if (!exponent && digits <= 15) {
    // Both operands are exact doubles, so one division rounds like strtod.
    value = static_cast<double>(mantissa) / kNmeaPowersOfTen[fractionDigits];
  } else if (std::from_chars(begin, p, value).ec == std::errc::result_out_of_range) {
    // Twenty characters cannot leave the range without an exponent, so its sign decides.
    value = negativeExponent ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}

int32_t NmeaTruncateToInt32(double value) {
  value = std::trunc(value);
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

NmeaTimePairs NmeaReadTimePairs(const char* field) {
  const std::size_t length = std::strlen(field);
  int32_t pairs[3] = {0, 0, 0};
  for (std::size_t i = 0; i < 3 && 2 * i < length; ++i) {
    const char high = field[2 * i];
    const char low = field[2 * i + 1];  // may be the NUL
    if (IsDigit(high) && IsDigit(low)) {
      pairs[i] = (high - '0') * 10 + (low - '0');
    } else {
      const char pair[3] = {high, low, '\0'};
      pairs[i] = NmeaReadInt(pair);
    }
  }
  return {pairs[0], pairs[1], pairs[2]};
}

double NmeaCoordToDegrees(const char* field) {
  if (field[0] == '\0') return 0.0;
  const char* point = std::strchr(field, '.');
  const std::size_t wholeLength =
      point ? static_cast<std::size_t>(point - field) : std::strlen(field);
  if (wholeLength <= 2) return NmeaReadDouble(field) * kNmeaOneSixtieth;
  char degrees[kNmeaFieldMax + 1] = {};
  std::memcpy(degrees, field, std::min(wholeLength - 2, kNmeaFieldMax));
  return NmeaReadInt(degrees) + NmeaReadDouble(field + wholeLength - 2) * kNmeaOneSixtieth;
}

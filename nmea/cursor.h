// Reads an NMEA sentence's fields in place, converting each as it passes, with the field walk's rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "nmea/fields.h"

// Each reader converts the current field exactly as the matching NmeaRead...
// function converts that field copied out (at most 20 characters), stores it
// and moves to the next field. It returns false when the field was the last
// one: the character after it is '*' or the end of the text.
//
// The common shapes (empty, plain digits, digits with a point, hhmmss...) are
// converted straight from the text; these shapes stop at the field's end by
// themselves, well inside 20 characters. Anything else takes the slow path:
// the field is copied out and given to the NmeaRead... function.
class NmeaFieldCursor {
 public:
  explicit NmeaFieldCursor(const char* text) : field_(text) {}

  // Field 0, whose first six characters are the tag that chose the parser;
  // a shorter field 0 leaves NULs after its characters.
  bool Tag(char (&tag)[6]);
  // The field's first N characters, NULs after a shorter field.
  template <std::size_t N>
  bool Letters(char (&out)[N]);
  bool Char(char* out);
  bool Byte(uint8_t* out);
  bool Int(int32_t* out);
  bool Double(double* out);
  bool Float(float* out);
  bool IntViaDouble(int32_t* out);
  bool Degrees(double* out);
  template <typename T>
  bool Time(T* first, T* second, T* third);

 private:
  // Digits of a short number, the shape that is converted in place.
  struct Decimal {
    const char* end;        // first character after the number
    uint64_t mantissa;      // all digits, point left out
    std::ptrdiff_t digits;  // digits before and after the point
    std::ptrdiff_t fractionDigits;
    bool negative;
  };

  static bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
  // Adds the digits from `p` on to `value`; returns the first character after them.
  template <typename U>
  static const char* AddDigits(const char* p, U& value) {
    for (unsigned d; (d = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10; ++p) {
      value = value * 10 + d;
    }
    return p;
  }
  static Decimal ScanDecimal(const char* p);
  // The field's end: the first ',', '*' or NUL from `from` on, or its 21st character.
  const char* FieldEnd(std::size_t from) const;
  // Moves past the separator after `end`; false when `end` is '*' or the NUL.
  bool Advance(const char* end) {
    if (*end == '*' || *end == '\0') return false;
    field_ = end + 1;
    return true;
  }
  // Stores a value converted in place when `end` is its field's end, else
  // converts the field the slow way; then moves on as Advance does.
  template <typename T>
  bool Store(const char* end, T* out, T value, T (*convert)(const char*)) {
    if (*end == ',') {
      *out = value;
      field_ = end + 1;
      return true;
    }
    if (*end == '*' || *end == '\0') {
      *out = value;
      return false;
    }
    return Slow(out, convert);
  }
  template <typename T>
  bool Slow(T* out, T (*convert)(const char*));
  bool SlowTime(NmeaTimePairs* pairs);

  const char* field_;
};

inline NmeaFieldCursor::Decimal NmeaFieldCursor::ScanDecimal(const char* p) {
  const bool negative = *p == '-';
  p += negative;
  uint64_t mantissa = 0;
  const char* digitsBegin = p;
  p = AddDigits(p, mantissa);
  std::ptrdiff_t digits = p - digitsBegin;
  std::ptrdiff_t fractionDigits = 0;
  if (*p == '.') {
    const char* fraction = ++p;
    p = AddDigits(p, mantissa);
    fractionDigits = p - fraction;
    digits += fractionDigits;
  }
  return {p, mantissa, digits, fractionDigits, negative};
}

inline const char* NmeaFieldCursor::FieldEnd(std::size_t from) const {
  std::size_t length = from;
  while (length < kNmeaFieldMax && !IsNmeaFieldEnd(field_[length])) ++length;
  return field_ + length;
}

inline bool NmeaFieldCursor::Tag(char (&tag)[6]) {
  // The dispatch guarantees six tag characters, but a parser called directly
  // with a shorter field 0 must not read past it.
  std::size_t length = 0;
  for (; length < sizeof tag && !IsNmeaFieldEnd(field_[length]); ++length) {
    tag[length] = field_[length];
  }
  std::memset(tag + length, 0, sizeof tag - length);
  return Advance(FieldEnd(length));
}

template <std::size_t N>
bool NmeaFieldCursor::Letters(char (&out)[N]) {
  static_assert(N <= kNmeaFieldMax);
  std::size_t length = 0;
  for (; length < N && !IsNmeaFieldEnd(field_[length]); ++length) out[length] = field_[length];
  std::memset(out + length, 0, N - length);
  return Advance(FieldEnd(length));
}

inline bool NmeaFieldCursor::Char(char* out) {
  const char c = *field_;
  if (IsNmeaFieldEnd(c)) {
    *out = '\0';
    return Advance(field_);
  }
  *out = c;
  if (field_[1] == ',') {  // the usual one-letter field
    field_ += 2;
    return true;
  }
  return Advance(FieldEnd(1));
}

inline bool NmeaFieldCursor::Int(int32_t* out) {
  // Two digits and a ',': the commonest number field, taken in one step.
  const char* f = field_;
  if (IsDigit(f[0]) && IsDigit(f[1]) && f[2] == ',') {
    *out = (f[0] - '0') * 10 + (f[1] - '0');
    field_ = f + 3;
    return true;
  }
  // Up to nine digits and nothing else: no sign, no blank, no saturation.
  uint32_t value = 0;
  const char* p = AddDigits(field_, value);
  if (p - field_ > 9) return Slow(out, NmeaReadInt);
  return Store(p, out, static_cast<int32_t>(value), NmeaReadInt);
}

inline bool NmeaFieldCursor::Byte(uint8_t* out) {
  int32_t value = 0;
  const bool more = Int(&value);
  *out = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
  return more;
}

inline bool NmeaFieldCursor::Double(double* out) {
  // Up to 15 digits: the mantissa and the power of ten are both exact doubles,
  // so one division rounds exactly as the full conversion does.
  const Decimal d = ScanDecimal(field_);
  if (d.digits > 15) return Slow(out, NmeaReadDouble);
  double value = 0.0;  // a lone sign or point reads as +0.0
  if (d.digits > 0) {
    value = static_cast<double>(d.mantissa) / kNmeaPowersOfTen[d.fractionDigits];
    if (d.negative) value = -value;
  }
  return Store(d.end, out, value, NmeaReadDouble);
}

inline bool NmeaFieldCursor::Float(float* out) {
  double value = 0.0;
  const bool more = Double(&value);
  *out = static_cast<float>(value);
  return more;
}

inline bool NmeaFieldCursor::IntViaDouble(int32_t* out) {
  double value = 0.0;
  const bool more = Double(&value);
  *out = NmeaTruncateToInt32(value);
  return more;
}

inline bool NmeaFieldCursor::Degrees(double* out) {
  // ddmm.mmmm with at most nine digits of degrees and 15 of minutes.
  const Decimal d = ScanDecimal(field_);
  const std::ptrdiff_t whole = d.digits - d.fractionDigits;
  if (d.negative || whole > 11 || d.digits > 15) return Slow(out, NmeaCoordToDegrees);
  double value = 0.0;
  if (whole <= 2) {
    if (d.digits > 0) value = static_cast<double>(d.mantissa) / kNmeaPowersOfTen[d.fractionDigits];
    value *= kNmeaOneSixtieth;
  } else {
    const uint64_t scale = kNmeaIntPowersOfTen[d.fractionDigits + 2];
    const auto degrees = static_cast<int32_t>(d.mantissa / scale);
    const uint64_t minutes = d.mantissa % scale;
    value = degrees +
            static_cast<double>(minutes) / kNmeaPowersOfTen[d.fractionDigits] * kNmeaOneSixtieth;
  }
  return Store(d.end, out, value, NmeaCoordToDegrees);
}

template <typename T>
bool NmeaFieldCursor::Time(T* first, T* second, T* third) {
  const char* f = field_;
  NmeaTimePairs pairs{0, 0, 0};
  bool more = false;
  if (IsNmeaFieldEnd(f[0])) {
    more = Advance(f);
  } else if (IsDigit(f[0]) && IsDigit(f[1]) && IsDigit(f[2]) && IsDigit(f[3]) && IsDigit(f[4]) &&
             IsDigit(f[5])) {
    pairs = {(f[0] - '0') * 10 + (f[1] - '0'), (f[2] - '0') * 10 + (f[3] - '0'),
             (f[4] - '0') * 10 + (f[5] - '0')};
    more = Advance(FieldEnd(6));
  } else {
    more = SlowTime(&pairs);
  }
  *first = static_cast<T>(pairs.first);
  *second = static_cast<T>(pairs.second);
  *third = static_cast<T>(pairs.third);
  return more;
}

template <typename T>
bool NmeaFieldCursor::Slow(T* out, T (*convert)(const char*)) {
  char field[kNmeaFieldMax + 1];
  const char* end = FieldEnd(0);
  const auto length = static_cast<std::size_t>(end - field_);
  for (std::size_t i = 0; i < length; ++i) field[i] = field_[i];
  field[length] = '\0';
  *out = convert(field);
  return Advance(end);
}

// Conversions of one NMEA field (at most 20 characters, NUL-terminated) into stored values.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kNmeaFieldMax = 20;

// 1/60 as the double nearest to it, the factor from minutes to degrees.
inline constexpr double kNmeaOneSixtieth = 1.0 / 60;
// Exact as doubles, so a mantissa of up to 15 digits divided by one of them is
// rounded once, exactly as strtod rounds.
inline constexpr double kNmeaPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
inline constexpr uint64_t kNmeaIntPowersOfTen[] = {1ull,
                                                   10ull,
                                                   100ull,
                                                   1000ull,
                                                   10000ull,
                                                   100000ull,
                                                   1000000ull,
                                                   10000000ull,
                                                   100000000ull,
                                                   1000000000ull,
                                                   10000000000ull,
                                                   100000000000ull,
                                                   1000000000000ull,
                                                   10000000000000ull,
                                                   100000000000000ull,
                                                   1000000000000000ull,
                                                   10000000000000000ull,
                                                   100000000000000000ull};

// ',', '*' and NUL end a field.
inline constexpr struct NmeaFieldEnds {
  bool at[256] = {};
  constexpr NmeaFieldEnds() { at[0] = at[int{','}] = at[int{'*'}] = true; }
} kNmeaFieldEnds;

inline bool IsNmeaFieldEnd(char c) { return kNmeaFieldEnds.at[static_cast<unsigned char>(c)]; }

// Leading decimal integer as a C library with 32-bit long reads it: blanks, a
// sign, digits; 0 when there are none; saturates at the 32-bit range.
int32_t NmeaReadInt(const char* field);
// Leading decimal floating-point number (blanks, sign, digits, point, exponent),
// 0 when there is none; overflow gives infinity, underflow 0, as strtod does.
double NmeaReadDouble(const char* field);
// Truncated toward zero, saturated at the 32-bit range.
int32_t NmeaTruncateToInt32(double value);

// hhmmss or ddmmyy: characters 1-2, 3-4 and 5-6 each as a decimal integer; a
// pair beyond the end of the field gives 0, anything after the sixth is ignored.
struct NmeaTimePairs {
  int32_t first;
  int32_t second;
  int32_t third;
};
NmeaTimePairs NmeaReadTimePairs(const char* field);

// ddmm.mmmm / dddmm.mmmm as non-negative decimal degrees; 0.0 for an empty field.
double NmeaCoordToDegrees(const char* field);

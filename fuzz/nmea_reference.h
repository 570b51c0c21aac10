// The NMEA parser as first written (copy the field, then convert it), kept to check the fast one against.
// Header-only and used by the fuzz target alone; nothing in the product links it.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "locator/gps_state.h"

namespace nmea_reference {

inline constexpr std::size_t kFieldMax = 20;
inline constexpr double kOneSixtieth = 1.0 / 60;
inline constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

inline bool IsFieldEnd(char c) { return c == ',' || c == '*' || c == '\0'; }

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline const char* SkipDigits(const char* p) {
  while (IsDigit(*p)) ++p;
  return p;
}

inline const char* SkipBlanksAndSign(const char* p, bool* negative) {
  while (IsBlank(*p)) ++p;
  *negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  return p;
}

inline int32_t ReadInt(const char* field) {
  bool negative = false;
  const char* p = IsDigit(*field) ? field : SkipBlanksAndSign(field, &negative);
  uint64_t value = 0;
  int digits = 0;
  for (; IsDigit(*p); ++p, ++digits) value = value * 10 + static_cast<uint64_t>(*p - '0');
  constexpr uint64_t kCap = uint64_t{1} << 31;
  if (digits > 18) {
    value = 0;
    for (const char* q = p - digits; q != p; ++q) {
      value = std::min(value * 10 + static_cast<uint64_t>(*q - '0'), kCap);
    }
  }
  value = std::min(value, kCap);
  if (negative) return static_cast<int32_t>(-static_cast<int64_t>(value));
  return static_cast<int32_t>(std::min<uint64_t>(value, std::numeric_limits<int32_t>::max()));
}

inline uint8_t ReadByte(const char* field) {
  return static_cast<uint8_t>(static_cast<uint32_t>(ReadInt(field)) & 0xFFu);
}

inline double ReadDouble(const char* field) {
  bool negative = false;
  const char* begin = IsDigit(*field) ? field : SkipBlanksAndSign(field, &negative);
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
    value = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
  } else if (std::from_chars(begin, p, value).ec == std::errc::result_out_of_range) {
    value = negativeExponent ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}

inline float ReadFloat(const char* field) { return static_cast<float>(ReadDouble(field)); }

inline int32_t ReadIntViaDouble(const char* field) {
  const double value = std::trunc(ReadDouble(field));
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

struct TimePairs {
  int32_t first;
  int32_t second;
  int32_t third;
};

inline TimePairs ReadTimePairs(const char* field) {
  const std::size_t length = std::strlen(field);
  int32_t pairs[3] = {0, 0, 0};
  for (std::size_t i = 0; i < 3 && 2 * i < length; ++i) {
    const char high = field[2 * i];
    const char low = field[2 * i + 1];
    if (IsDigit(high) && IsDigit(low)) {
      pairs[i] = (high - '0') * 10 + (low - '0');
    } else {
      const char pair[3] = {high, low, '\0'};
      pairs[i] = ReadInt(pair);
    }
  }
  return {pairs[0], pairs[1], pairs[2]};
}

inline double CoordToDegrees(const char* field) {
  if (field[0] == '\0') return 0.0;
  const char* point = std::strchr(field, '.');
  const std::size_t wholeLength =
      point ? static_cast<std::size_t>(point - field) : std::strlen(field);
  if (wholeLength <= 2) return ReadDouble(field) * kOneSixtieth;
  char degrees[kFieldMax + 1] = {};
  std::memcpy(degrees, field, std::min(wholeLength - 2, kFieldMax));
  return ReadInt(degrees) + ReadDouble(field + wholeLength - 2) * kOneSixtieth;
}

template <typename Store>
void WalkFields(const char* text, int maxFields, Store&& store) {
  char field[kFieldMax + 1];
  const char* position = text;
  for (int index = 0; index < maxFields; ++index) {
    std::size_t length = 0;
    for (; length < kFieldMax && !IsFieldEnd(position[length]); ++length) {
      field[length] = position[length];
    }
    field[length] = '\0';
    store(index, field);
    const char next = position[length];
    if (next == '*' || next == '\0') return;
    position += length + 1;
  }
}

inline void StoreTag(char (&tag)[6], const char* field) { std::memcpy(tag, field, sizeof tag); }

template <typename T>
void StoreTime(const char* field, T* first, T* second, T* third) {
  const TimePairs pairs = ReadTimePairs(field);
  *first = static_cast<T>(pairs.first);
  *second = static_cast<T>(pairs.second);
  *third = static_cast<T>(pairs.third);
}

inline void ParseGGA(GgaBlock& b, const char* text) {
  WalkFields(text, 15, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.latitude = CoordToDegrees(f); break;
      case 3: b.latHemisphere = f[0]; break;
      case 4: b.longitude = CoordToDegrees(f); break;
      case 5: b.lonHemisphere = f[0]; break;
      case 6: b.quality = f[0]; break;
      case 7: b.satellites = ReadByte(f); break;
      case 8: b.hdop = ReadFloat(f); break;
      case 9: b.altitude = ReadInt(f); break;
      case 10: b.altitudeUnit = f[0]; break;
      case 11: b.geoidSeparation = ReadFloat(f); break;
      case 12: b.geoidUnit = f[0]; break;
      case 13: b.dgpsAge = ReadFloat(f); break;
      case 14: b.dgpsStation = ReadIntViaDouble(f); break;
    }
  });
}

inline void ParseGLL(GllBlock& b, const char* text) {
  WalkFields(text, 7, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: b.latitude = ReadDouble(f); break;
      case 2: b.latHemisphere = f[0]; break;
      case 3: b.longitude = ReadDouble(f); break;
      case 4: b.lonHemisphere = f[0]; break;
      case 5: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 6: b.status = f[0]; break;
    }
  });
}

inline void ParseGSA(GsaBlock& b, const char* text) {
  WalkFields(text, 18, [&](int index, const char* f) {
    if (index >= 3 && index <= 14) {
      b.satelliteIds[index - 3] = ReadByte(f);
      return;
    }
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: b.mode = f[0]; break;
      case 2: b.fixType = f[0]; break;
      case 15: b.pdop = ReadFloat(f); break;
      case 16: b.hdop = ReadFloat(f); break;
      case 17: b.vdop = ReadFloat(f); break;
    }
  });
}

inline void ParseGSV(GsvBlock& b, const char* text) {
  WalkFields(text, 20, [&](int index, const char* f) {
    if (index >= 4) {
      GsvSatellite& s = b.satellites[(index - 4) / 4];
      switch ((index - 4) % 4) {
        case 0: s.prn = ReadByte(f); break;
        case 1: s.elevation = ReadByte(f); break;
        case 2: s.azimuth = ReadInt(f); break;
        case 3: s.snr = ReadByte(f); break;
      }
      return;
    }
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: b.messageCount = f[0]; break;
      case 2: b.messageNumber = f[0]; break;
      case 3: b.satellitesInView = ReadByte(f); break;
    }
  });
}

inline void ParseRMC(RmcBlock& b, const char* text) {
  WalkFields(text, 12, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.status = f[0]; break;
      case 3: b.latitude = CoordToDegrees(f); break;
      case 4: b.latHemisphere = f[0]; break;
      case 5: b.longitude = CoordToDegrees(f); break;
      case 6: b.lonHemisphere = f[0]; break;
      case 7: b.speed = ReadFloat(f); break;
      case 8: b.course = ReadFloat(f); break;
      case 9: StoreTime(f, &b.day, &b.month, &b.year); break;
      case 10: b.magneticVariation = ReadFloat(f); break;
      case 11: b.variationDirection = f[0]; break;
    }
  });
}

inline void ParseVTG(VtgBlock& b, const char* text) {
  WalkFields(text, 7, [&](int index, const char* f) {
    if (index == 0) StoreTag(b.tag, f);
    if (index >= 1 && index <= 4) b.values[index - 1] = ReadFloat(f);
  });
}

inline void ParseZDA(ZdaBlock& b, const char* text) {
  WalkFields(text, 12, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.day = ReadByte(f); break;
      case 3: b.month = ReadByte(f); break;
      case 4: b.year = ReadInt(f); break;
      case 5: b.zoneHours = ReadByte(f); break;
      case 6: b.zoneMinutes = ReadByte(f); break;
    }
  });
}

inline void StoreOther(OtherBlock& b, const char* text) {
  const std::size_t length = strnlen(text, sizeof b.text - 1);
  std::memcpy(b.text, text, length);
  std::memset(b.text + length, 0, sizeof b.text - length);
}

// The dispatch by the first six characters, into a state of the caller's.
inline void ParseSentence(GpsState& s, const char* text) {
  if (strnlen(text, 6) == 6) {
    if (std::memcmp(text, "$GPGGA", 6) == 0) return ParseGGA(s.gga, text);
    if (std::memcmp(text, "$GPGLL", 6) == 0) return ParseGLL(s.gll, text);
    if (std::memcmp(text, "$GPGSA", 6) == 0) return ParseGSA(s.gsa, text);
    if (std::memcmp(text, "$GPGSV", 6) == 0) return ParseGSV(s.gsv, text);
    if (std::memcmp(text, "$GPRMC", 6) == 0) return ParseRMC(s.rmc, text);
    if (std::memcmp(text, "$GPVTG", 6) == 0) return ParseVTG(s.vtg, text);
    if (std::memcmp(text, "$GPZDA", 6) == 0) return ParseZDA(s.zda, text);
  }
  StoreOther(s.other, text);
}

inline void Fix(const GpsState& s, double* latitude, double* longitude, uint8_t* valid) {
  *latitude = s.gga.latHemisphere == 'S' ? -s.gga.latitude : s.gga.latitude;
  *longitude = s.gga.lonHemisphere == 'W' ? -s.gga.longitude : s.gga.longitude;
  *valid = s.rmc.status == 'A' ? 1 : 0;
}

}  // namespace nmea_reference

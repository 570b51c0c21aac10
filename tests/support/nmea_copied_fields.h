// The walk that copies each field out before converting it, and the conversions
// of a copied field that only the checks use: the cursor (nmea/cursor.h) and the
// fuzz target's reference parser are held against these.
#pragma once

#include <cstddef>
#include <cstdint>

#include "nmea/fields.h"

// Characters of the field that starts at `position`: up to a ',', a '*', a NUL,
// or 20 characters, whichever comes first.
inline std::size_t NmeaFieldLength(const char* position) {
  std::size_t length = 0;
  while (length < kNmeaFieldMax && !IsNmeaFieldEnd(position[length])) ++length;
  return length;
}

// The low 8 bits of NmeaReadInt.
inline uint8_t NmeaReadByte(const char* field) {
  return static_cast<uint8_t>(static_cast<uint32_t>(NmeaReadInt(field)) & 0xFFu);
}
inline float NmeaReadFloat(const char* field) { return static_cast<float>(NmeaReadDouble(field)); }
// NmeaReadDouble truncated toward zero, saturated at the 32-bit range.
inline int32_t NmeaReadIntViaDouble(const char* field) {
  return NmeaTruncateToInt32(NmeaReadDouble(field));
}

// Calls store(index, field) for fields 0 .. maxFields-1 of the text, each copied
// into a 21-byte buffer. The walk stops at the '*' or the end of the text. The
// character after a field's (at most 20) characters is always taken as its
// separator, so a longer field shifts the ones after it.
template <typename Store>
void WalkNmeaFields(const char* text, int maxFields, Store&& store) {
  char field[kNmeaFieldMax + 1];
  const char* position = text;
  for (int index = 0; index < maxFields; ++index) {
    const std::size_t length = NmeaFieldLength(position);
    for (std::size_t i = 0; i < length; ++i) field[i] = position[i];
    field[length] = '\0';
    store(index, field);
    const char next = position[length];
    if (next == '*' || next == '\0') return;
    position += length + 1;
  }
}

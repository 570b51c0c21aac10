// The cursor's slow path for time pairs: odd shapes go through the copied-field conversion.
#include "locator/nmea_cursor.h"

bool NmeaFieldCursor::SlowTime(NmeaTimePairs* pairs) {
  char field[kNmeaFieldMax + 1];
  const char* end = FieldEnd(0);
  const auto length = static_cast<std::size_t>(end - field_);
  for (std::size_t i = 0; i < length; ++i) field[i] = field_[i];
  field[length] = '\0';
  *pairs = NmeaReadTimePairs(field);
  return Advance(end);
}

// The cursor's out-of-line slow path for time pairs: odd shapes take the copied-field conversion.
#include "nmea/cursor.h"

bool NmeaFieldCursor::SlowTime(NmeaTimePairs* pairs) { return Slow(pairs, NmeaReadTimePairs); }

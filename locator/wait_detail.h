// Why no position has come yet, in a few words for a status line that has room for them.
#pragma once

#include <string>

#include "nmea/gps_state.h"

// "no data from the port yet", "9 satellites in view, no fix yet", ... from the
// state and the satellites in view over all constellations.
std::u16string DescribeGpsWait(const GpsState& state, int satellitesInView);

// The same from the live GPS state.
std::u16string GpsWaitDetail();

// Why no position has come yet, in a few words for a status line that has room for them.
#pragma once

#include <string>

#include "nmea/gps_state.h"

// "no data from the port yet", "9 satellites in view, no fix yet", ... from the
// state and the satellites in view over all constellations. A source that says
// where it reads ("connected to 192.168.1.10:10110") says so while nothing came:
// "connected to 192.168.1.10:10110, no sentence yet".
std::u16string DescribeGpsWait(const GpsState& state, int satellitesInView,
                               const std::u16string& where = {});

// The same from the live GPS state.
std::u16string GpsWaitDetail(const std::u16string& where = {});

// The decoder's last line: the whole GpsState and the fix query's answer as JSON.
#pragma once

#include <cstdint>

#include "nmea/gps_state.h"
#include "tools/json_writer.h"

struct GpsFixAnswer {
  double latitude;
  double longitude;
  uint8_t valid;
};

// {"state":{"gga":{...},...,"other":{"text":...}},"fix":{"latitude":...}}
void WriteStateLine(JsonWriter& json, const GpsState& state, const GpsFixAnswer& fix);

// Drops gpsd's JSON report lines from its stream, leaving only the NMEA it relays.
#pragma once

#include <cstddef>

struct GpsdFilter {  // carried between reads: a line may span two
  bool atLineStart = true;
  bool inJson = false;
};

// Removes, in place, every line that begins with '{' (through its '\n') and
// returns the number of bytes kept.
std::size_t DropGpsdJson(GpsdFilter& filter, char* data, std::size_t length);

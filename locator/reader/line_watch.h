// Watches what a serial line brings, read by read, and says when to try another speed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locator/reader/checksum_scan.h"
#include "locator/reader/speed_hunt.h"

// Binary frames are looked for in the latest bytes at the speed, enough for
// the long ones (a u-blox NAV-SAT of 40 satellites is under 500 bytes).
inline constexpr std::size_t kBinaryWindow = 1024;

struct LineWatch {
  SpeedHunt hunt;
  ChecksumScan scan;
  unsigned char recent[kBinaryWindow];
  std::size_t recentCount = 0;
};

void StartLineWatch(LineWatch& watch, uint32_t speed, bool fixed, HuntClock::time_point now);

// Takes one read's bytes (none when the hunt's deadline passed) and returns
// the speed to set on the port now, or 0 to keep it. Once NMEA has come it
// returns at once: the line costs nothing more per sentence.
uint32_t WatchLine(LineWatch& watch, const char* bytes, std::size_t count,
                   HuntClock::time_point now);

// What each read brings, turned into the speed hunt's events.
#include "locator/reader/line_watch.h"

#include <cstring>

namespace {

// Keeps the latest kBinaryWindow bytes at this speed.
void Remember(LineWatch& watch, const char* bytes, std::size_t count) {
  if (count >= kBinaryWindow) {
    std::memcpy(watch.recent, bytes + count - kBinaryWindow, kBinaryWindow);
    watch.recentCount = kBinaryWindow;
    return;
  }
  const std::size_t keep =
      watch.recentCount + count > kBinaryWindow ? kBinaryWindow - count : watch.recentCount;
  std::memmove(watch.recent, watch.recent + watch.recentCount - keep, keep);
  std::memcpy(watch.recent + keep, bytes, count);
  watch.recentCount = keep + count;
}

}  // namespace

void StartLineWatch(LineWatch& watch, uint32_t speed, bool fixed, HuntClock::time_point now) {
  watch.hunt = StartSpeedHunt(speed, fixed, now);
  watch.scan = ChecksumScan{};
  watch.recentCount = 0;
}

uint32_t WatchLine(LineWatch& watch, const char* bytes, std::size_t count,
                   HuntClock::time_point now) {
  if (watch.hunt.found == HuntFound::Nmea) return 0;
  HuntEvent seen;
  seen.bytes = count;
  seen.now = now;
  seen.sentence = CountChecksummedSentences(watch.scan, bytes, count) > 0;
  if (!seen.sentence && watch.hunt.found == HuntFound::Nothing && count > 0) {
    Remember(watch, bytes, count);
    seen.binary = RecognizeBinaryProtocol(watch.recent, watch.recentCount);
  }
  const uint32_t speed = HuntSpeed(watch.hunt, seen);
  if (speed != 0) {
    // Bytes of the old speed mean nothing at the new one.
    watch.scan = ChecksumScan{};
    watch.recentCount = 0;
  }
  return speed;
}

// The speed hunt as a small state machine over reads and time.
#include "locator/reader/speed_hunt.h"

#include <iterator>

namespace {

std::u16string Number(uint32_t value) {
  std::u16string text;
  for (const char c : std::to_string(value)) text += char16_t(c);
  return text;
}

std::u16string Baud(uint32_t speed) { return Number(speed) + u" baud"; }

void ChangeSpeed(SpeedHunt& hunt, HuntClock::time_point now) {
  hunt.givenUp = hunt.speed;
  hunt.speed = NextHuntedSpeed(hunt.speed);
  hunt.bytes = 0;
  hunt.windowStart = now;
}

}  // namespace

SpeedHunt StartSpeedHunt(uint32_t speed, bool fixed, HuntClock::time_point now) {
  SpeedHunt hunt;
  hunt.speed = speed;
  hunt.fixed = fixed;
  hunt.windowStart = now;
  return hunt;
}

uint32_t NextHuntedSpeed(uint32_t speed) {
  const auto* begin = std::begin(kHuntedSpeeds);
  const auto* end = std::end(kHuntedSpeeds);
  for (const auto* at = begin; at != end; ++at) {
    if (*at == speed) return at + 1 == end ? *begin : at[1];
  }
  return *begin;
}

uint32_t HuntSpeed(SpeedHunt& hunt, const HuntEvent& seen) {
  if (seen.sentence) hunt.found = HuntFound::Nmea;
  if (hunt.found == HuntFound::Nmea) return 0;
  if (seen.binary != BinaryProtocol::None && hunt.found == HuntFound::Nothing) {
    hunt.found = HuntFound::Binary;
    hunt.binary = seen.binary;
  }
  if (seen.bytes == 0 && hunt.bytes == 0) return 0;
  // Bytes after a silence longer than the window open a window of their own.
  if (hunt.bytes == 0 && seen.now - hunt.windowStart >= kHuntWindow) hunt.windowStart = seen.now;
  hunt.bytes += seen.bytes;
  if (hunt.fixed || hunt.found != HuntFound::Nothing) return 0;
  if (hunt.bytes < kHuntBytes && seen.now - hunt.windowStart < kHuntWindow) return 0;
  ChangeSpeed(hunt, seen.now);
  return hunt.speed;
}

HuntClock::time_point HuntDeadline(const SpeedHunt& hunt) {
  if (hunt.fixed || hunt.found != HuntFound::Nothing || hunt.bytes == 0) {
    return HuntClock::time_point::max();
  }
  return hunt.windowStart + kHuntWindow;
}

std::u16string DescribeSpeedHunt(const SpeedHunt& hunt, std::u16string_view gpsDetail) {
  switch (hunt.found) {
    case HuntFound::Nmea:
      if (hunt.givenUp == 0) break;
      return u"found NMEA at " + Baud(hunt.speed) + (gpsDetail.empty() ? u"" : u", ") +
             std::u16string(gpsDetail);
    case HuntFound::Binary:
      return BinaryProtocolName(hunt.binary) +
             std::u16string(u", not NMEA: switch the receiver to NMEA output");
    case HuntFound::Nothing:
      if (hunt.givenUp != 0) {
        return u"bytes but no NMEA at " + Baud(hunt.givenUp) + u", trying " + Number(hunt.speed);
      }
      if (hunt.bytes != 0) return u"bytes but no NMEA at " + Baud(hunt.speed);
      break;
  }
  return std::u16string(gpsDetail);
}

// Finds the speed a receiver talks at: while bytes come but no checksummed sentence, the next speed is tried.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "locator/reader/binary_protocol.h"

using HuntClock = std::chrono::steady_clock;

// The speeds tried in turn, round and round: the common ones first (SiRF and
// Garmin pucks, then u-blox 6-8, MediaTek and Quectel modules, then u-blox M9
// and M10, then reconfigured receivers).
inline constexpr uint32_t kHuntedSpeeds[] = {4800, 9600, 38400, 115200, 57600, 19200};

// A speed is given up once bytes have come for this long, or this many have
// come, without one checksummed sentence. A right speed brings one within a
// second (a burst) and within 82 bytes of stream; a fast receiver read too
// slowly brings only a few bytes of noise per burst, so the time decides then.
inline constexpr std::chrono::milliseconds kHuntWindow{1500};
inline constexpr std::size_t kHuntBytes = 600;

enum class HuntFound : uint8_t { Nothing, Nmea, Binary };

struct SpeedHunt {
  uint32_t speed = 0;    // the speed the port is at
  uint32_t givenUp = 0;  // the speed left last for lack of NMEA; 0 before any change
  bool fixed = false;    // the port text fixed the speed: it is never changed
  HuntFound found = HuntFound::Nothing;
  BinaryProtocol binary = BinaryProtocol::None;
  std::size_t bytes = 0;  // bytes since the speed was set
  HuntClock::time_point windowStart;
};

// What one read brought; a read of no bytes reports that time has passed.
struct HuntEvent {
  std::size_t bytes = 0;
  bool sentence = false;  // a sentence whose checksum holds was among them
  BinaryProtocol binary = BinaryProtocol::None;
  HuntClock::time_point now;
};

SpeedHunt StartSpeedHunt(uint32_t speed, bool fixed, HuntClock::time_point now);

// Takes in what a read brought; returns the speed to set on the port now, or 0
// to keep it. A silent port keeps its speed: silence tells nothing about it.
// Once NMEA or a binary protocol has come, the speed is kept for good.
uint32_t HuntSpeed(SpeedHunt& hunt, const HuntEvent& seen);

// When the hunt wants to look again even if no byte comes (its window at this
// speed ends); time_point::max() while it waits for nothing.
HuntClock::time_point HuntDeadline(const SpeedHunt& hunt);

// The speed after `speed` in kHuntedSpeeds; the first one for a speed not in it.
uint32_t NextHuntedSpeed(uint32_t speed);

// Why a wait goes on, as far as the line tells: "bytes but no NMEA at 4800
// baud, trying 9600", the binary protocol, or "found NMEA at 38400 baud, "
// before what the GPS state says (`gpsDetail`) once a hunt found the speed.
// Just `gpsDetail` when the line has nothing to add.
std::u16string DescribeSpeedHunt(const SpeedHunt& hunt, std::u16string_view gpsDetail);

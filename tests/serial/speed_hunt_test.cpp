// The speed hunt over reads and time: which speed comes next, and what the user is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "locator/reader/speed_hunt.h"

namespace {

using std::chrono::milliseconds;
const HuntClock::time_point kStart{};

struct Step {
  int ms;  // since the hunt began
  std::size_t bytes;
  bool sentence;
  BinaryProtocol binary;
  uint32_t set;  // the speed the hunt asks for, 0 for none
};

TEST(SpeedHunt, SpeedsTriedAfterReadsAndTime) {
  constexpr BinaryProtocol kNone = BinaryProtocol::None;
  const struct {
    const char* what;
    uint32_t speed;
    bool fixed;
    std::vector<Step> steps;
  } cases[] = {
      {"silence keeps the speed",
       4800,
       false,
       {{1600, 0, false, kNone, 0}, {9000, 0, false, kNone, 0}}},
      {"noise for the window",
       4800,
       false,
       {{100, 40, false, kNone, 0}, {1000, 40, false, kNone, 0}, {1500, 0, false, kNone, 9600}}},
      {"a few hundred bytes of noise", 4800, false, {{100, 600, false, kNone, 9600}}},
      {"each speed in turn, round again",
       4800,
       false,
       {{10, 600, false, kNone, 9600},
        {20, 600, false, kNone, 38400},
        {30, 600, false, kNone, 115200},
        {40, 600, false, kNone, 57600},
        {50, 600, false, kNone, 19200},
        {60, 600, false, kNone, 4800}}},
      {"a sentence ends the hunt",
       4800,
       false,
       {{100, 80, true, kNone, 0}, {200, 600, false, kNone, 0}, {5000, 0, false, kNone, 0}}},
      {"found after a change",
       4800,
       false,
       {{100, 600, false, kNone, 9600}, {200, 900, true, kNone, 0}}},
      {"a fixed speed is kept",
       9600,
       true,
       {{100, 600, false, kNone, 0}, {3000, 0, false, kNone, 0}}},
      {"a binary protocol keeps the speed",
       38400,
       false,
       {{100, 100, false, BinaryProtocol::Ubx, 0}, {200, 600, false, kNone, 0}}},
      {"bytes after a long silence open their own window",
       4800,
       false,
       {{5000, 40, false, kNone, 0}, {6000, 40, false, kNone, 0}, {6500, 0, false, kNone, 9600}}},
      {"a speed not in the list goes to the first", 2400, false, {{100, 600, false, kNone, 4800}}},
  };
  for (const auto& c : cases) {
    SpeedHunt hunt = StartSpeedHunt(c.speed, c.fixed, kStart);
    for (const Step& step : c.steps) {
      HuntEvent seen;
      seen.bytes = step.bytes;
      seen.sentence = step.sentence;
      seen.binary = step.binary;
      seen.now = kStart + milliseconds(step.ms);
      EXPECT_EQ(HuntSpeed(hunt, seen), step.set) << c.what << ", at " << step.ms << " ms";
    }
  }
}

TEST(SpeedHunt, DeadlineOnlyWhileNoiseIsJudged) {
  SpeedHunt hunt = StartSpeedHunt(4800, false, kStart);
  EXPECT_EQ(HuntDeadline(hunt), HuntClock::time_point::max()) << "silent line";
  HuntEvent seen;
  seen.bytes = 10;
  seen.now = kStart + milliseconds(100);
  HuntSpeed(hunt, seen);
  EXPECT_EQ(HuntDeadline(hunt), kStart + kHuntWindow) << "noise at 4800";
  seen.sentence = true;
  HuntSpeed(hunt, seen);
  EXPECT_EQ(HuntDeadline(hunt), HuntClock::time_point::max()) << "NMEA found";
  SpeedHunt fixed = StartSpeedHunt(9600, true, kStart);
  seen.sentence = false;
  HuntSpeed(fixed, seen);
  EXPECT_EQ(HuntDeadline(fixed), HuntClock::time_point::max()) << "fixed speed";
}

TEST(SpeedHunt, WhatTheLineTellsTheUser) {
  const struct {
    const char* what;
    SpeedHunt hunt;
    std::u16string detail;
  } cases[] = {
      {"nothing yet", {4800, 0, false, HuntFound::Nothing, {}, 0, {}}, u"no fix yet"},
      {"noise at the opening speed",
       {4800, 0, false, HuntFound::Nothing, {}, 12, {}},
       u"bytes but no NMEA at 4800 baud"},
      {"trying the next",
       {9600, 4800, false, HuntFound::Nothing, {}, 0, {}},
       u"bytes but no NMEA at 4800 baud, trying 9600"},
      {"noise at a fixed speed",
       {9600, 0, true, HuntFound::Nothing, {}, 12, {}},
       u"bytes but no NMEA at 9600 baud"},
      {"found by the hunt",
       {38400, 9600, false, HuntFound::Nmea, {}, 0, {}},
       u"found NMEA at 38400 baud, no fix yet"},
      {"found at the opening speed", {4800, 0, false, HuntFound::Nmea, {}, 0, {}}, u"no fix yet"},
      {"u-blox binary",
       {9600, 4800, false, HuntFound::Binary, BinaryProtocol::Ubx, 0, {}},
       u"u-blox UBX binary, not NMEA: switch the receiver to NMEA output"},
      {"SiRF binary",
       {4800, 0, false, HuntFound::Binary, BinaryProtocol::Sirf, 0, {}},
       u"SiRF binary, not NMEA: switch the receiver to NMEA output"},
  };
  for (const auto& c : cases) {
    const std::u16string detail = DescribeSpeedHunt(c.hunt, u"no fix yet");
    EXPECT_EQ(std::string(detail.begin(), detail.end()),
              std::string(c.detail.begin(), c.detail.end()))
        << c.what;
  }
  EXPECT_TRUE(DescribeSpeedHunt({38400, 9600, false, HuntFound::Nmea, {}, 0, {}}, u"") ==
              u"found NMEA at 38400 baud")
      << "nothing after the speed when the GPS state has nothing to say";
}

}  // namespace

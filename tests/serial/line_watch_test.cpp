// A line's reads turned into speed changes: noise, NMEA and binary frames as the bytes come.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "locator/reader/line_watch.h"

namespace {

using std::chrono::milliseconds;
const HuntClock::time_point kStart{};

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const std::string kUbx(
    "\xb5\x62\x01\x03\x10\x00\x98\x4d\x02\x00\x03\xdd\x00\x08"
    "\x44\x0b\x00\x00\xa6\x8d\x0a\x00\x6f\x37",
    24);
const std::string kNoise(600, '\xf0');  // what a 9600 receiver looks like at 38400

struct Read {
  std::string bytes;
  uint32_t set;  // the speed asked for after it, 0 for none
};

TEST(LineWatch, ReadsDecideTheSpeedAndWhatWasFound) {
  const struct {
    const char* what;
    bool fixed;
    std::vector<Read> reads;
    HuntFound found;
  } cases[] = {
      {"NMEA at once", false, {{kGga, 0}, {kNoise, 0}}, HuntFound::Nmea},
      {"noise, then NMEA at the next speed", false, {{kNoise, 9600}, {kGga, 0}}, HuntFound::Nmea},
      {"NMEA cut between reads",
       false,
       {{kGga.substr(0, 40), 0}, {kGga.substr(40), 0}},
       HuntFound::Nmea},
      {"noise before a change is not joined to bytes after it",
       false,
       {{kNoise + kGga.substr(0, 40), 9600}, {kGga.substr(40), 0}},
       HuntFound::Nothing},
      {"a UBX frame cut between reads",
       false,
       {{kUbx.substr(0, 10), 0}, {kUbx.substr(10), 0}, {kNoise, 0}},
       HuntFound::Binary},
      {"a UBX frame after long noise at a fixed speed",
       true,
       {{std::string(900, '\x55'), 0},
        {std::string(900, '\x55') + kUbx.substr(0, 5), 0},
        {kUbx.substr(5), 0}},
       HuntFound::Binary},
      {"NMEA after binary still counts", false, {{kUbx, 0}, {kGga, 0}}, HuntFound::Nmea},
  };
  for (const auto& c : cases) {
    LineWatch watch;
    StartLineWatch(watch, 4800, c.fixed, kStart);
    int ms = 0;
    for (const Read& read : c.reads) {
      ms += 100;
      EXPECT_EQ(WatchLine(watch, read.bytes.data(), read.bytes.size(), kStart + milliseconds(ms)),
                read.set)
          << c.what << ", read " << ms / 100;
    }
    EXPECT_EQ(watch.hunt.found, c.found) << c.what;
  }
}

}  // namespace

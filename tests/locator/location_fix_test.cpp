// A location service's fix as the sentences of a receiver: their exact text, and the
// position the parser reads back from them.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "common/utf8.h"
#include "locator/fix_gates.h"
#include "locator/location_fix.h"
#include "nmea/framer.h"
#include "nmea/parser.h"

namespace {

using namespace std::chrono;

// 2024-02-29 23:59:58.456 UTC
constexpr sys_time<milliseconds> kLeapDay =
    sys_days(year(2024) / February / 29) + hours(23) + minutes(59) + seconds(58) + 456ms;

LocationFix Fix(double latitude, double longitude, double accuracy, FixSource source) {
  LocationFix fix;
  fix.latitude = latitude;
  fix.longitude = longitude;
  fix.accuracy = accuracy;
  fix.source = source;
  fix.time = kLeapDay;
  return fix;
}

TEST(LocationFix, SentencesOfEachKindOfFix) {
  LocationFix gnss = Fix(-22.9068, -43.1729, 4.0, FixSource::Satellites);
  gnss.altitude = 11.25;
  gnss.hdop = 0.84;
  const struct {
    LocationFix fix;
    std::string sentences;
  } cases[] = {
      {gnss,
       "$GNGGA,235958.45,2254.4080000,S,04310.3740000,W,1,,0.8,11.2,M,,,,*1E\r\n"
       "$GNRMC,235958.45,A,2254.4080000,S,04310.3740000,W,,,290224,,,A*4A\r\n"
       "$GNGST,235958.45,,,,,2.828,2.828,*66\r\n"},
      {Fix(55.7558, 37.6173, 350.0, FixSource::WiFi),
       "$GNGGA,235958.45,5545.3480000,N,03737.0380000,E,6,,,,,,,,*6F\r\n"
       "$GNRMC,235958.45,A,5545.3480000,N,03737.0380000,E,,,290224,,,E*4F\r\n"
       "$GNGST,235958.45,,,,,247.487,247.487,*66\r\n"},
      // Minutes that round up to 60 carry into the degrees; no accuracy, no GST.
      {Fix(0.99999999999, 179.9999999999, 0.0, FixSource::Unknown),
       "$GNGGA,235958.45,0100.0000000,N,18000.0000000,E,6,,,,,,,,*62\r\n"
       "$GNRMC,235958.45,A,0100.0000000,N,18000.0000000,E,,,290224,,,E*42\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComposeFixSentences(c.fix), c.sentences) << c.fix.latitude;
  }
}

void ParseAll(const std::string& sentences) {
  NmeaFramer framer;
  char read[kGpsReadSize + 1] = {};
  sentences.copy(read, kGpsReadSize);
  FrameNmeaRead(
      framer, read, [](const char* s, void*) { ParseNmeaSentence(s); }, nullptr);
}

TEST(LocationFix, TheParserReadsThePositionBack) {
  for (const LocationFix& fix : {Fix(-22.906847, -43.172896, 5.0, FixSource::Satellites),
                                 Fix(78.2232, 15.6267, 900.0, FixSource::IpAddress),
                                 Fix(-0.0000004, 0.0000004, 1.0, FixSource::Cells)}) {
    ResetGpsState();
    ParseAll(ComposeFixSentences(fix));
    double latitude = 0.0, longitude = 0.0;
    uint8_t valid = 0;
    GetGpsFix(&latitude, &longitude, &valid);
    EXPECT_NEAR(latitude, fix.latitude, 1e-8) << fix.latitude;
    EXPECT_NEAR(longitude, fix.longitude, 1e-8) << fix.longitude;
    EXPECT_EQ(valid, 1) << fix.latitude;
    const GpsState state = CopyGpsState();
    EXPECT_EQ(state.gga.quality, fix.source == FixSource::Satellites ? '1' : '6');
    EXPECT_EQ(state.rmc.year, 24);
    EXPECT_NEAR(FixAccuracy(state), fix.accuracy, 0.001) << "the accuracy back from GST";
  }
}

TEST(LocationFix, WordsForTheWaitDetail) {
  const struct {
    LocationFix fix;
    std::string text;
  } cases[] = {
      {Fix(1, 1, 3.6, FixSource::Satellites), "a satellite fix, ±4 m"},
      {Fix(1, 1, 350, FixSource::WiFi), "a Wi-Fi position, ±350 m"},
      {Fix(1, 1, 2000, FixSource::Cells), "a position from mobile network cells, ±2000 m"},
      {Fix(1, 1, 0, FixSource::IpAddress), "a position from the IP address"},
      {Fix(1, 1, 25, FixSource::Unknown), "a position of unknown origin, ±25 m"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8::Utf16ToUtf8(DescribeLocationFix(c.fix)), c.text);
}

}  // namespace

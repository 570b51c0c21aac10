// "location:" through the real reader: a location service's fixes reach the GPS state
// as a receiver's would, the kind of fix is the wait's detail, a refusal is told.
#include <gtest/gtest.h>

#include "common/utf8.h"
#include "locator/reader/gps_reader.h"
#include "locator/reader/gps_source.h"
#include "nmea/parser.h"
#include "platform/model/dialog_model.h"
#include "serial/location_stand_in.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

LocationFix Fix(double latitude, double longitude, double accuracy, FixSource source) {
  LocationFix fix;
  fix.latitude = latitude;
  fix.longitude = longitude;
  fix.accuracy = accuracy;
  fix.source = source;
  fix.time =
      std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
  return fix;
}

class LocationSourceTest : public testing::Test {
 protected:
  void SetUp() override { ResetGpsState(); }
  void TearDown() override {
    StopGpsReader();
    EXPECT_TRUE(WaitGpsReaderStopped(10s)) << "the reader thread did not end";
  }
  MessageBoxRecorder boxes_;
};

std::string Wait() { return utf8::Utf16ToUtf8(DescribeGpsReaderWait()); }
char Quality() { return CopyGpsState().gga.quality; }

TEST_F(LocationSourceTest, ACoarseThenAFineFixReachTheGpsState) {
  ScriptLocationService({}, Fix(55.7558, 37.6173, 350, FixSource::WiFi));
  EXPECT_EQ(&FindGpsSourceKind(u"LOCATION:"), &kLocationSource);
  ASSERT_TRUE(StartGpsReader(u"location:", 4800));
  ASSERT_TRUE(WaitFor([] { return Quality() == '6'; }, 10s)) << "no estimate reached GpsState";
  double latitude = 0, longitude = 0;
  GetGpsFix(&latitude, &longitude, nullptr);
  EXPECT_NEAR(latitude, 55.7558, 1e-8);
  EXPECT_NEAR(longitude, 37.6173, 1e-8);
  EXPECT_EQ(Wait(), "a Wi-Fi position, ±350 m");

  AddLocationFix(Fix(-55.75583, -37.61729, 4.2, FixSource::Satellites));
  ASSERT_TRUE(WaitFor([] { return Quality() == '1'; }, 10s)) << "no satellite fix reached GpsState";
  GetGpsFix(&latitude, &longitude, nullptr);
  EXPECT_NEAR(latitude, -55.75583, 1e-8);
  EXPECT_NEAR(longitude, -37.61729, 1e-8);
  EXPECT_EQ(Wait(), "a satellite fix, ±4 m");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(LocationSourceTest, ARefusedServiceIsAPortThatFailedWithItsReason) {
  ScriptLocationService(u"location is turned off");
  EXPECT_FALSE(StartGpsReader(u"location:", 4800));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_TRUE(boxes_.Boxes()[0].text == u"Error Opening Comms Port.");
  EXPECT_EQ(utf8::Utf16ToUtf8(boxes_.Boxes()[0].detail), "location is turned off");
}

TEST_F(LocationSourceTest, AServiceThatFailsIsAskedAgain) {
  ScriptLocationService({}, Fix(48.1173, 11.5167, 20, FixSource::Cells));
  ASSERT_TRUE(StartGpsReader(u"location:", 4800));
  ASSERT_TRUE(WaitFor([] { return Quality() == '6'; }, 10s));
  FailLocationService();
  // Opened again by its text, it hands on its first fix once more.
  ASSERT_TRUE(WaitFor([] { return LocationServiceOpens() == 2; }, 10s)) << Wait();
  EXPECT_TRUE(WaitFor([] { return Wait() == "a position from mobile network cells, ±20 m"; }, 10s))
      << Wait();
}

}  // namespace

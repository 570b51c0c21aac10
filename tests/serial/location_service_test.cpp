// GeoClue as the location service on Linux, against a stand-in GeoClue2 on a private
// bus (this machine has no location hardware): fixes, refusals, wakes, a service that leaves.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "common/utf8.h"
#include "platform/location.h"
#include "serial/private_bus.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kGeoClue = "org.freedesktop.GeoClue2";
constexpr const char* kClientPath = "/org/freedesktop/GeoClue2/Client/1";

struct Place {
  double latitude, longitude, accuracy, altitude;  // altitude NaN: unknown
  uint64_t seconds;
};

class GeoClueTest : public testing::Test {
 protected:
  GeoClueTest() : folder_(Folder()), bus_(folder_) {}
  ~GeoClueTest() override { fs::remove_all(folder_); }

  static fs::path Folder() {
    char pattern[] = "/tmp/quarvel-geoclue-XXXXXX";
    return mkdtemp(pattern);
  }
  bool StartGeoClue(const std::string& refusal = "") {
    return bus_.StartMock(GeoClueTemplate(), kGeoClue, "{\"refuse\": \"" + refusal + "\"}");
  }
  // The device is now at place, as GeoClue would learn it.
  void MoveTo(const Place& place) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ASSERT_GE(sd_bus_call_method(bus_.Connection(), kGeoClue, "/org/freedesktop/GeoClue2/Manager",
                                 "org.freedesktop.DBus.Mock", "SetLocation", &error, nullptr,
                                 "ddddt", place.latitude, place.longitude, place.accuracy,
                                 place.altitude, place.seconds),
              0)
        << (error.message ? error.message : "");
    sd_bus_error_free(&error);
  }
  std::string ClientText(const char* property) {
    char* value = nullptr;
    sd_bus_get_property_string(bus_.Connection(), kGeoClue, kClientPath,
                               "org.freedesktop.GeoClue2.Client", property, nullptr, &value);
    std::string text = value ? value : "";
    free(value);
    return text;
  }
  uint32_t ClientNumber(const char* property) {
    uint32_t value = 0;
    sd_bus_get_property_trivial(bus_.Connection(), kGeoClue, kClientPath,
                                "org.freedesktop.GeoClue2.Client", property, nullptr, 'u', &value);
    return value;
  }

  fs::path folder_;
  PrivateBus bus_;
};

// Reads the next fix; a read still waiting after 20 s is woken, which fails the test.
LocationRead ReadWithin(LocationService* service, LocationFix& fix, std::u16string& why) {
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;
  std::thread guard([&] {
    std::unique_lock lock(mutex);
    if (!changed.wait_for(lock, 20s, [&] { return done; })) WakeLocationService(service);
  });
  const LocationRead result = ReadLocationService(service, fix, &why);
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  changed.notify_all();
  guard.join();
  return result;
}

void ExpectFix(const LocationFix& fix, const Place& place, const std::string& what) {
  EXPECT_DOUBLE_EQ(fix.latitude, place.latitude) << what;
  EXPECT_DOUBLE_EQ(fix.longitude, place.longitude) << what;
  EXPECT_DOUBLE_EQ(fix.accuracy, place.accuracy) << what << ": the accuracy GeoClue reported";
  EXPECT_EQ(fix.altitude.has_value(), !std::isnan(place.altitude)) << what;
  if (fix.altitude && !std::isnan(place.altitude)) {
    EXPECT_DOUBLE_EQ(*fix.altitude, place.altitude) << what;
  }
  EXPECT_EQ(fix.time.time_since_epoch(), std::chrono::seconds(place.seconds)) << what;
}

TEST_F(GeoClueTest, ACoarseFixThenAFineOneEachWithItsAccuracy) {
  ASSERT_TRUE(StartGeoClue());
  std::u16string why;
  LocationService* service = OpenLocationService(&why);
  ASSERT_NE(service, nullptr) << utf8::Utf16ToUtf8(why);
  EXPECT_EQ(ClientText("DesktopId"), "org.quarvel.Quarvel");
  EXPECT_EQ(ClientNumber("RequestedAccuracyLevel"), 8u) << "the highest level, EXACT";
  const Place places[] = {
      {55.7558, 37.6173, 350.0, NAN, 1767787200},      // a Wi-Fi position
      {-55.75583, -37.61729, 4.2, 151.5, 1767787201},  // a satellite fix
  };
  for (const Place& place : places) {
    MoveTo(place);
    LocationFix fix;
    ASSERT_EQ(ReadWithin(service, fix, why), LocationRead::Fix) << utf8::Utf16ToUtf8(why);
    ExpectFix(fix, place, "accuracy " + std::to_string(place.accuracy));
  }
  CloseLocationService(service);
}

TEST_F(GeoClueTest, APlaceKnownBeforeTheStartIsTheFirstFix) {
  ASSERT_TRUE(StartGeoClue());
  const Place known = {48.8566, 2.3522, 25.0, 35.0, 1767787300};
  MoveTo(known);
  LocationService* service = OpenLocationService();
  ASSERT_NE(service, nullptr);
  LocationFix fix;
  std::u16string why;
  ASSERT_EQ(ReadWithin(service, fix, why), LocationRead::Fix);
  ExpectFix(fix, known, "the known place");
  CloseLocationService(service);
}

TEST_F(GeoClueTest, NoServiceOrARefusalFailsTheOpenWithTheReason) {
  const struct {
    const char* what;
    bool bus, geoclue;
    std::string refusal, reason;
  } cases[] = {
      {"no GeoClue", true, false, "",
       "GeoClue is not on the system bus (is geoclue-2.0 installed?)"},
      {"refused", true, true, "'org.quarvel.Quarvel' disallowed, no agent for UID 1000",
       "GeoClue refused the location: 'org.quarvel.Quarvel' disallowed, no agent for UID 1000"},
      {"no system bus", false, false, "", "GeoClue: no system bus (No such file or directory)"},
  };
  for (const auto& c : cases) {
    bus_.StopMocks();
    if (c.geoclue) {
      ASSERT_TRUE(StartGeoClue(c.refusal)) << c.what;
    }
    if (!c.bus) setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quarvel-bus", 1);
    std::u16string why;
    EXPECT_EQ(OpenLocationService(&why), nullptr) << c.what;
    EXPECT_EQ(utf8::Utf16ToUtf8(why), c.reason) << c.what;
  }
}

TEST_F(GeoClueTest, AWakeEndsAReadAtOnceAndEveryReadAfterIt) {
  ASSERT_TRUE(StartGeoClue());
  LocationService* service = OpenLocationService();
  ASSERT_NE(service, nullptr);
  LocationFix fix;
  LocationRead result = LocationRead::Fix;
  std::thread reader([&] { result = ReadLocationService(service, fix, nullptr); });
  std::this_thread::sleep_for(200ms);
  const auto woken = std::chrono::steady_clock::now();
  WakeLocationService(service);
  reader.join();
  EXPECT_EQ(result, LocationRead::Woken);
  EXPECT_LT(std::chrono::steady_clock::now() - woken, 2s) << "the wake did not end the read";
  EXPECT_EQ(ReadLocationService(service, fix, nullptr), LocationRead::Woken);
  CloseLocationService(service);
}

TEST_F(GeoClueTest, AServiceThatLeavesTheBusFailsTheRead) {
  ASSERT_TRUE(StartGeoClue());
  LocationService* service = OpenLocationService();
  ASSERT_NE(service, nullptr);
  bus_.StopMocks();
  LocationFix fix;
  std::u16string why;
  EXPECT_EQ(ReadWithin(service, fix, why), LocationRead::Failed);
  EXPECT_EQ(utf8::Utf16ToUtf8(why), "GeoClue left the system bus");
  CloseLocationService(service);
}

}  // namespace

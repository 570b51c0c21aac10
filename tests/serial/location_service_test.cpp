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
constexpr const char* kClient = "org.freedesktop.GeoClue2.Client";

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
    sd_bus_error error{};
    ASSERT_GE(sd_bus_call_method(bus_.Connection(), kGeoClue, "/org/freedesktop/GeoClue2/Manager",
                                 "org.freedesktop.DBus.Mock", "SetLocation", &error, nullptr,
                                 "ddddt", place.latitude, place.longitude, place.accuracy,
                                 place.altitude, place.seconds),
              0)
        << (error.message ? error.message : "");
    sd_bus_error_free(&error);
  }
  // What the client was set to: its desktop id and accuracy level.
  std::string Client() {
    char* id = nullptr;
    uint32_t level = 0;
    sd_bus_get_property_string(bus_.Connection(), kGeoClue, kClientPath, kClient, "DesktopId",
                               nullptr, &id);
    sd_bus_get_property_trivial(bus_.Connection(), kGeoClue, kClientPath, kClient,
                                "RequestedAccuracyLevel", nullptr, 'u', &level);
    const std::string text = std::string(id ? id : "") + " at level " + std::to_string(level);
    free(id);
    return text;
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

std::string Describe(const LocationFix& fix) {
  return std::to_string(fix.latitude) + " " + std::to_string(fix.longitude) + " ±" +
         std::to_string(fix.accuracy) + " m, altitude " +
         (fix.altitude ? std::to_string(*fix.altitude) : "unknown") + ", at " +
         std::to_string(fix.time.time_since_epoch().count());
}

std::string Describe(const Place& place) {
  LocationFix fix;
  fix.latitude = place.latitude;
  fix.longitude = place.longitude;
  fix.accuracy = place.accuracy;
  if (!std::isnan(place.altitude)) fix.altitude = place.altitude;
  fix.time = std::chrono::sys_time<std::chrono::milliseconds>(std::chrono::seconds(place.seconds));
  return Describe(fix);
}

// A place GeoClue knew before the start is the first fix; then a Wi-Fi position
// and a satellite fix, each with the accuracy GeoClue gives.
TEST_F(GeoClueTest, EachPlaceGeoClueSendsIsAFixWithItsAccuracy) {
  ASSERT_TRUE(StartGeoClue());
  const Place places[] = {
      {48.8566, 2.3522, 25.0, 35.0, 1767787100},
      {55.7558, 37.6173, 350.0, NAN, 1767787200},
      {-55.75583, -37.61729, 4.2, 151.5, 1767787201},
  };
  MoveTo(places[0]);
  std::u16string why;
  LocationService* service = OpenLocationService(&why);
  ASSERT_NE(service, nullptr) << utf8::Utf16ToUtf8(why);
  EXPECT_EQ(Client(), "org.quarvel.Quarvel at level 8") << "the highest level, EXACT";
  for (const Place& place : places) {
    if (&place != &places[0]) MoveTo(place);
    LocationFix fix;
    ASSERT_EQ(ReadWithin(service, fix, why), LocationRead::Fix) << utf8::Utf16ToUtf8(why);
    EXPECT_EQ(Describe(fix), Describe(place));
  }
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

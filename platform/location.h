// The system's location service as a source of fixes, not bytes: the Windows location
// platform, GeoClue on Linux. The reader turns each fix into a receiver's sentences.
#pragma once

#include <chrono>
#include <optional>
#include <string>

// Where the service's position came from.
enum class FixSource { Satellites, WiFi, Cells, IpAddress, Unknown };

struct LocationFix {
  double latitude = 0.0;  // signed degrees, south and west negative
  double longitude = 0.0;
  double accuracy = 0.0;           // metres, the service's radius of uncertainty; 0 unknown
  std::optional<double> altitude;  // metres above mean sea level
  std::optional<double> hdop;
  FixSource source = FixSource::Unknown;
  std::chrono::sys_time<std::chrono::milliseconds> time;  // UTC
};

struct LocationService;  // each platform layer defines what an open service holds

// The service's name for the user ("GeoClue"), as the wait for its first fix says it.
const char16_t* LocationServiceName();

// Opens the service and asks it for fixes. Windows' is asked for each fix, so its
// open waits for the first, which the first read hands on; GeoClue sends its fixes,
// so the reads wait for them. Null when there is no service, it refuses this
// program, or (Windows) no fix came in time; *why (when given) then says so in
// words for the user.
LocationService* OpenLocationService(std::u16string* why = nullptr);

enum class LocationRead { Fix, Woken, Failed };

// The next fix: on Windows no sooner than about a second after the one before (as a
// receiver sends them), from GeoClue as it sends them. Woken once WakeLocationService
// was called; Failed, with *why, when the service refused, went silent or left.
LocationRead ReadLocationService(LocationService* service, LocationFix& fix,
                                 std::u16string* why = nullptr);

// Makes a pending read, and every later one, return at once. Any thread, but not
// with CloseLocationService.
void WakeLocationService(LocationService* service);

// Cancels what is pending and releases the service; no read may be pending.
void CloseLocationService(LocationService* service);

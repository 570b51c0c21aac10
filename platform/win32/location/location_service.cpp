// The location service on Windows: the location platform's Geolocator through the
// WinRT ABI; its access request and position requests each polled to its end, a wake
// or a deadline, and a Geoposition read into a LocationFix.
#include "platform/location.h"

#include <cstdio>
#include <optional>

#include "platform/win32/location/geolocation_abi.h"
#include "platform/win32/location/winrt_runtime.h"

using namespace geolocation;
using Clock = std::chrono::steady_clock;

struct LocationService {
  ComRef<IGeolocator> geolocator;
  HANDLE wake = nullptr;  // manual reset, set by a wake and never cleared
  std::optional<LocationFix> first;
  Clock::time_point lastAsked;
};

namespace {

// Windows finds a Wi-Fi position in a few seconds; a GNSS from cold, or a service
// that is there but has nothing, is given a minute before the open fails.
constexpr std::chrono::seconds kFirstFixTimeout{60};
// A later request that gives nothing for this long fails the source, which is then
// opened again as an unplugged port is.
constexpr std::chrono::seconds kReadTimeout{30};
constexpr std::chrono::seconds kAccessTimeout{120};  // time for the user's consent
constexpr std::chrono::seconds kBetweenFixes{1};
constexpr DWORD kPollMilliseconds = 20;
constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;

constexpr char16_t kDenied[] =
    u"Windows denies the location: it is turned off, or not allowed for desktop apps "
    u"(Settings > Privacy & security > Location)";

enum class Waited { Done, Failed, Woken, TimedOut };

// Polls the operation until it ends, the wake event or the deadline; cancels it
// on the last two. error gets the operation's error when it failed.
template <class Result>
Waited Await(IAsyncOperation<Result>* operation, HANDLE wake, Clock::time_point deadline,
             HRESULT& error) {
  ComRef<IAsyncInfo> info;
  error = operation->QueryInterface(kIidAsyncInfo, info.PutVoid());
  if (FAILED(error)) return Waited::Failed;
  for (;;) {
    AsyncStatus status = Started;
    error = info->get_Status(&status);
    if (FAILED(error)) return Waited::Failed;
    if (status == Completed) return Waited::Done;
    if (status == Error || status == Canceled) {
      HRESULT code = E_ABORT;
      if (status == Error) info->get_ErrorCode(&code);
      error = FAILED(code) ? code : E_ABORT;
      return Waited::Failed;
    }
    if (Clock::now() >= deadline) {
      info->Cancel();
      return Waited::TimedOut;
    }
    if (WaitForSingleObject(wake, kPollMilliseconds) == WAIT_OBJECT_0) {
      info->Cancel();
      return Waited::Woken;
    }
  }
}

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string Hex(HRESULT error) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(error));
  return Ascii(text);
}

// Why a position request failed, in words.
std::u16string RequestProblem(Waited waited, HRESULT error, std::chrono::seconds timeout) {
  if (waited == Waited::TimedOut || error == HRESULT_FROM_WIN32(ERROR_TIMEOUT)) {
    return u"no position from the Windows location service within " +
           Ascii(std::to_string(timeout.count())) + u" seconds";
  }
  if (error == E_ACCESSDENIED) return kDenied;
  return u"the Windows location service failed (error " + Hex(error) + u")";
}

FixSource SourceOf(PositionSource source) {
  switch (source) {
    case PositionSource::Satellite: return FixSource::Satellites;
    case PositionSource::WiFi: return FixSource::WiFi;
    case PositionSource::Cellular: return FixSource::Cells;
    case PositionSource::IPAddress: return FixSource::IpAddress;
    default: return FixSource::Unknown;
  }
}

std::optional<double> ValueOf(IReferenceDouble* reference) {
  double value = 0.0;
  if (reference && SUCCEEDED(reference->get_Value(&value))) return value;
  return std::nullopt;
}

// The position from the coordinate's Point, or from its older Latitude and
// Longitude where Windows has no Point.
bool ReadPosition(IGeocoordinate* coordinate, LocationFix& fix) {
  ComRef<IGeocoordinateWithPoint> withPoint;
  ComRef<IGeopoint> point;
  BasicGeoposition position{};
  if (SUCCEEDED(coordinate->QueryInterface(kIidGeocoordinateWithPoint, withPoint.PutVoid())) &&
      SUCCEEDED(withPoint->get_Point(point.Put())) && point &&
      SUCCEEDED(point->get_Position(&position))) {
    fix.latitude = position.latitude;
    fix.longitude = position.longitude;
    return true;
  }
  return SUCCEEDED(coordinate->get_Latitude(&fix.latitude)) &&
         SUCCEEDED(coordinate->get_Longitude(&fix.longitude));
}

// Where the fix came from and its HDOP, where Windows says.
void ReadPositionData(IGeocoordinate* coordinate, LocationFix& fix) {
  ComRef<IGeocoordinateWithPositionData> data;
  if (FAILED(coordinate->QueryInterface(kIidGeocoordinateWithPositionData, data.PutVoid()))) {
    return;
  }
  PositionSource source = PositionSource::Unknown;
  if (SUCCEEDED(data->get_PositionSource(&source))) fix.source = SourceOf(source);
  ComRef<IGeocoordinateSatelliteData> satellites;
  ComRef<IReferenceDouble> hdop;
  if (SUCCEEDED(data->get_SatelliteData(satellites.Put())) && satellites &&
      SUCCEEDED(satellites->get_HorizontalDilutionOfPrecision(hdop.Put()))) {
    fix.hdop = ValueOf(hdop.Get());
  }
}

bool ReadFix(IGeoposition* position, LocationFix& fix) {
  ComRef<IGeocoordinate> coordinate;
  if (!position || FAILED(position->get_Coordinate(coordinate.Put())) || !coordinate) return false;
  fix = LocationFix{};
  if (!ReadPosition(coordinate.Get(), fix)) return false;
  coordinate->get_Accuracy(&fix.accuracy);
  ReadPositionData(coordinate.Get(), fix);
  DateTime stamp{};
  coordinate->get_Timestamp(&stamp);
  const int64_t ticks = stamp.universalTime - kTicksFrom1601To1970;
  fix.time = stamp.universalTime > 0
                 ? std::chrono::sys_time<std::chrono::milliseconds>(
                       std::chrono::milliseconds(ticks / (kTicksPerSecond / 1000)))
                 : std::chrono::time_point_cast<std::chrono::milliseconds>(
                       std::chrono::system_clock::now());
  return true;
}

// One position request, waited for up to timeout (and a little more, for the
// service's own time-out to come first).
Waited RequestFix(LocationService& location, std::chrono::seconds timeout, LocationFix& fix,
                  std::u16string& problem) {
  ComRef<IAsyncOperation<IGeoposition*>> operation;
  HRESULT error = location.geolocator->GetGeopositionAsyncWithAgeAndTimeout(
      TimeSpan{0}, TimeSpan{timeout.count() * kTicksPerSecond}, operation.Put());
  Waited waited = FAILED(error) ? Waited::Failed
                                : Await(operation.Get(), location.wake,
                                        Clock::now() + timeout + std::chrono::seconds(2), error);
  ComRef<IGeoposition> position;
  if (waited == Waited::Done &&
      (FAILED(error = operation->GetResults(position.Put())) || !ReadFix(position.Get(), fix))) {
    waited = Waited::Failed;
  }
  if (waited == Waited::Failed || waited == Waited::TimedOut) {
    problem = RequestProblem(waited, error, timeout);
  }
  return waited;
}

// Whether Windows lets Quarvel have the location; the user may be asked first.
bool AccessAllowed(const WinRtRuntime& runtime, LocationService& location,
                   std::u16string& problem) {
  ComRef<IGeolocatorStatics> statics;
  ComRef<IAsyncOperation<GeolocationAccessStatus>> request;
  GeolocationAccessStatus access = GeolocationAccessStatus::Unspecified;
  HRESULT error = runtime.GetFactory(kGeolocatorClass, kIidGeolocatorStatics, statics.PutVoid());
  if (SUCCEEDED(error)) error = statics->RequestAccessAsync(request.Put());
  if (SUCCEEDED(error) &&
      Await(request.Get(), location.wake, Clock::now() + kAccessTimeout, error) == Waited::Done) {
    request->GetResults(&access);
  }
  PositionStatus status = PositionStatus::Ready;
  location.geolocator->get_LocationStatus(&status);
  if (access == GeolocationAccessStatus::Denied || status == PositionStatus::Disabled) {
    problem = kDenied;
  } else if (status == PositionStatus::NotAvailable) {
    problem = u"this Windows has no location service or sensor to ask";
  }
  return problem.empty();
}

}  // namespace

LocationService* OpenLocationService(std::u16string* why) {
  std::u16string problem;
  const WinRtRuntime& runtime = WinRt();
  if (!runtime.Loaded()) {
    if (why) *why = u"this Windows has no location platform (Windows 8 or later has)";
    return nullptr;
  }
  runtime.InitializeThread();
  auto* location = new LocationService;
  location->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ComRef<IInspectable> instance;
  HRESULT error = runtime.Activate(kGeolocatorClass, instance.Put());
  if (SUCCEEDED(error)) {
    error = instance->QueryInterface(kIidGeolocator, location->geolocator.PutVoid());
  }
  if (FAILED(error)) {
    problem = error == REGDB_E_CLASSNOTREG
                  ? u"this Windows has no location service (Windows.Devices.Geolocation)"
                  : u"the Windows location service cannot be reached (error " + Hex(error) + u")";
  } else {
    location->geolocator->put_DesiredAccuracy(PositionAccuracy::High);
  }
  LocationFix fix;
  if (problem.empty() && AccessAllowed(runtime, *location, problem) &&
      RequestFix(*location, kFirstFixTimeout, fix, problem) == Waited::Done) {
    location->first = fix;
    location->lastAsked = Clock::now();
    return location;
  }
  if (why) *why = problem;
  CloseLocationService(location);
  return nullptr;
}

LocationRead ReadLocationService(LocationService* location, LocationFix& fix, std::u16string* why) {
  if (location->first) {
    fix = *location->first;
    location->first.reset();
    return LocationRead::Fix;
  }
  WinRt().InitializeThread();
  const auto next = location->lastAsked + kBetweenFixes;
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
  if (WaitForSingleObject(location->wake, DWORD(wait.count() > 0 ? wait.count() : 0)) ==
      WAIT_OBJECT_0) {
    return LocationRead::Woken;
  }
  location->lastAsked = Clock::now();
  std::u16string problem;
  switch (RequestFix(*location, kReadTimeout, fix, problem)) {
    case Waited::Done: return LocationRead::Fix;
    case Waited::Woken: return LocationRead::Woken;
    default:
      if (why) *why = problem;
      return LocationRead::Failed;
  }
}

void WakeLocationService(LocationService* location) {
  if (location) SetEvent(location->wake);
}

void CloseLocationService(LocationService* location) {
  if (!location) return;
  location->geolocator.Reset();
  if (location->wake) CloseHandle(location->wake);
  delete location;
}

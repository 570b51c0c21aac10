// "location:" as a GPS source: the system's location service, each fix handed on as the
// sentences of a receiver, so the framer and parser take it as any port's bytes.
#include <mutex>
#include <string>

#include "common/ascii_case.h"
#include "locator/location_fix.h"
#include "locator/reader/gps_source.h"
#include "platform/location.h"

namespace {

struct LocationSource {
  LocationService* service = nullptr;
  std::string unread;      // sentences a read had no room for
  std::mutex mutex;        // guards what follows, which the wait detail reads
  std::u16string lastFix;  // until the first fix comes, that it is awaited
};

LocationSource& Source(void* source) { return *static_cast<LocationSource*>(source); }

// It has no line and no speed: the service opens whatever the speed.
void* OpenLocationSource(const char16_t*, uint32_t, bool, GpsPortProblem& problem) {
  LocationService* service = OpenLocationService(&problem.reason);
  if (!service) {
    problem.message = kPortOpenFailedText;
    return nullptr;
  }
  auto* source = new LocationSource;
  source->service = service;
  source->lastFix = std::u16string(LocationServiceName()) + u": waiting for a fix";
  return source;
}

std::ptrdiff_t ReadLocationSource(void* handle, char* buffer, std::size_t capacity) {
  LocationSource& source = Source(handle);
  if (source.unread.empty()) {
    LocationFix fix;
    switch (ReadLocationService(source.service, fix)) {
      case LocationRead::Woken: return 0;
      case LocationRead::Failed: return kSerialPortGone;
      case LocationRead::Fix: break;
    }
    source.unread = ComposeFixSentences(fix);
    std::lock_guard lock(source.mutex);
    source.lastFix = DescribeLocationFix(fix);
  }
  const std::size_t count = source.unread.copy(buffer, capacity);
  source.unread.erase(0, count);
  return std::ptrdiff_t(count);
}

void WakeLocationSource(void* handle) { WakeLocationService(Source(handle).service); }

// A service that failed or went silent is asked again, as a receiver that went away.
bool LocationSourceMayReturn(void*) { return true; }

void CloseLocationSource(void* handle) {
  CloseLocationService(Source(handle).service);
  delete &Source(handle);
}

// Each read is whole sentences of a fix of its own.
bool LocationSourceRestarted(void*) { return false; }

// The kind of the last fix ("a Wi-Fi position, ±350 m") outranks the GPS state's words.
std::u16string DescribeLocationSource(void* handle, std::u16string_view gpsDetail) {
  LocationSource& source = Source(handle);
  std::lock_guard lock(source.mutex);
  return source.lastFix.empty() ? std::u16string(gpsDetail) : source.lastFix;
}

}  // namespace

bool IsLocationPortName(const char16_t* portText) {
  return portText && EqualsIgnoringAsciiCase(portText, u"location:");
}

const GpsSourceKind kLocationSource = {&OpenLocationSource,      &ReadLocationSource,
                                       &WakeLocationSource,      &LocationSourceMayReturn,
                                       &LocationSourceRestarted, &DescribeLocationSource,
                                       &CloseLocationSource};

// The location platform's fixes as sentences, read as a port is read.
#include "platform/win32/location/location_port.h"

#include <chrono>

#include "common/ascii_case.h"
#include "locator/location_fix.h"
#include "platform/serial_port.h"
#include "platform/win32/location/windows_location.h"

struct LocationPort {
  WindowsLocation* location = nullptr;
  std::string unread;  // sentences a read had no room for
};

namespace {

// Windows finds a Wi-Fi position in a few seconds; a GNSS from cold, or a service
// that is there but has nothing, is given a minute before the port counts as failed.
constexpr std::chrono::seconds kFirstFixTimeout{60};

}  // namespace

bool IsLocationPortName(std::u16string_view name) {
  return EqualsIgnoringAsciiCase(name, u"location:");
}

LocationPort* OpenLocationPort(std::string& problem) {
  WindowsLocation* location = OpenWindowsLocation(kFirstFixTimeout, problem);
  if (!location) return nullptr;
  return new LocationPort{location, {}};
}

std::ptrdiff_t ReadLocationPort(LocationPort* port, char* buffer, std::size_t capacity,
                                std::string& problem) {
  if (port->unread.empty()) {
    LocationFix fix;
    switch (ReadWindowsLocation(port->location, fix, problem)) {
      case LocationRead::Woken: return 0;
      case LocationRead::Failed: return kSerialPortGone;
      case LocationRead::Fix: port->unread = ComposeFixSentences(fix); break;
    }
  }
  const std::size_t count = port->unread.copy(buffer, capacity);
  port->unread.erase(0, count);
  return std::ptrdiff_t(count);
}

void WakeLocationPort(LocationPort* port) { WakeWindowsLocation(port->location); }

void CloseLocationPort(LocationPort* port) {
  CloseWindowsLocation(port->location);
  delete port;
}

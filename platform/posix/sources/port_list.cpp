// The ports present on Linux: what the configuration form offers and what "auto:" tries.
#include "platform/port_list.h"

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/com_port_name.h"
#include "common/utf8.h"
#include "platform/posix/sources/by_id_name.h"
#include "platform/posix/sources/system_bus.h"
#include "platform/serial_port.h"

namespace {

// After the ports in sight and the built-in sources, the first nine COM names.
constexpr unsigned kListedComPorts = 9;

// Names in folder that start with prefix, in the order a person counts them
// (ttyUSB2 before ttyUSB10).
std::vector<std::string> NamesIn(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name[0] != '.' && name.size() > prefix.size() &&
          name.compare(0, prefix.size(), prefix) == 0) {
        names.push_back(name);
      }
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return names;
}

std::string RealPath(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string result = real;
  std::free(real);
  return result;
}

// The folder the devices are in; another one can be chosen, so the lists can be
// tried without devices.
std::string DeviceRoot() {
  const char* chosen = std::getenv("QUARVEL_DEVICE_DIR");
  return chosen && *chosen ? chosen : "/dev";
}

// The receivers plugged in now as paths: stable names first; a device one of
// them leads to is not listed again.
std::vector<std::string> ReceiverPaths(const std::string& root) {
  std::vector<std::string> paths;
  std::vector<std::string> named;
  const std::string byId = root + "/serial/by-id";
  for (const std::string& name : NamesIn(byId, "")) {
    paths.push_back(byId + "/" + name);
    named.push_back(RealPath(byId + "/" + name));
  }
  for (const char* prefix : {"ttyUSB", "ttyACM", "rfcomm"}) {
    for (const std::string& name : NamesIn(root, prefix)) {
      if (std::find(named.begin(), named.end(), RealPath(root + "/" + name)) == named.end()) {
        paths.push_back(root + "/" + name);
      }
    }
  }
  return paths;
}

// The devices the kernel writes its console to ("/dev/ttyS0"): a login may
// be read from them, never a receiver.
std::vector<std::string> ConsoleDevices() {
  std::vector<std::string> devices;
  std::ifstream active("/sys/class/tty/console/active");
  std::string name;
  while (active >> name) devices.push_back("/dev/" + name);
  return devices;
}

// A by-id link as "u-blox 7 GPS/GNSS Receiver (ttyACM0)"; the link's own name when it
// names nothing. A device under the root by its short name, which opens it under /dev.
OfferedPort Offered(const std::string& root, const std::string& path) {
  const std::string byId = root + "/serial/by-id/";
  if (path.compare(0, byId.size(), byId) == 0) {
    const std::string link = path.substr(byId.size());
    std::string name = NameFromByIdLink(link);
    if (name.empty()) name = link;
    const std::string device = RealPath(path);
    const std::string base = device.substr(device.rfind('/') + 1);
    return {utf8::Utf8ToUtf16(name + " (" + base + ")"), utf8::Utf8ToUtf16(path)};
  }
  const bool inRoot = path.compare(0, root.size() + 1, root + "/") == 0 &&
                      path.find('/', root.size() + 1) == std::string::npos;
  const std::u16string text = utf8::Utf8ToUtf16(inRoot ? path.substr(root.size() + 1) : path);
  return {text, text};
}

OfferedPort Plain(std::u16string text) { return {text, text}; }

}  // namespace

std::vector<OfferedPort> OfferedPorts() {
  const std::string root = DeviceRoot();
  std::vector<OfferedPort> offered = {Plain(u"auto:")};
  for (const std::string& path : ReceiverPaths(root)) offered.push_back(Offered(root, path));
  if (SystemBusHasService("org.freedesktop.GeoClue2")) offered.push_back(Plain(u"location:"));
  offered.push_back(Plain(u"gpsd:"));
  offered.push_back(Plain(u"DEMO:"));
  for (unsigned n = 1; n <= kListedComPorts; ++n) offered.push_back(Plain(ComPortName(n)));
  return offered;
}

std::vector<std::u16string> SerialPortsPresent() {
  const std::string root = DeviceRoot();
  std::vector<std::string> paths = ReceiverPaths(root);
  std::vector<std::string> seen;
  for (const std::string& path : paths) seen.push_back(RealPath(path));
  const std::vector<std::string> consoles = ConsoleDevices();
  // A Raspberry Pi's serial0 leads to ttyAMA0 or ttyS0: one of them is tried.
  for (const char* name : {"serial0", "ttyAMA0", "ttyS0"}) {
    const std::string path = root + "/" + name;
    const std::string real = RealPath(path);
    if (access(path.c_str(), F_OK) != 0 || std::count(seen.begin(), seen.end(), real) ||
        std::count(consoles.begin(), consoles.end(), real)) {
      continue;
    }
    paths.push_back(path);
    seen.push_back(real);
  }
  std::vector<std::u16string> present;
  for (const std::string& path : paths) present.push_back(utf8::Utf8ToUtf16(path));
  return present;
}

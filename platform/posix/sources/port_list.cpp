// The ports the configuration form offers on Linux: the receivers plugged in now,
// then the built-in sources.
#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "platform/serial_port.h"

namespace {

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

}  // namespace

std::vector<std::u16string> OfferedPortNames() {
  // The folder to scan can be another one, so the list can be tried without devices.
  const char* chosen = std::getenv("QUARVEL_DEVICE_DIR");
  const std::string root = chosen && *chosen ? chosen : "/dev";
  std::vector<std::u16string> offered;
  // Stable names first; a device one of them leads to is not offered again.
  std::vector<std::string> named;
  const std::string byId = root + "/serial/by-id";
  for (const std::string& name : NamesIn(byId, "")) {
    offered.push_back(utf8::Utf8ToUtf16(byId + "/" + name));
    named.push_back(RealPath(byId + "/" + name));
  }
  for (const char* prefix : {"ttyUSB", "ttyACM", "rfcomm"}) {
    for (const std::string& name : NamesIn(root, prefix)) {
      if (std::find(named.begin(), named.end(), RealPath(root + "/" + name)) != named.end()) {
        continue;
      }
      offered.push_back(utf8::Utf8ToUtf16(name));
    }
  }
  offered.push_back(u"gpsd:");
  offered.push_back(u"DEMO:");
  return offered;
}

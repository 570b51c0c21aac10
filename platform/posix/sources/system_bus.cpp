// Services on the system D-Bus (sd-bus): running ones and those the bus would start.
#include "platform/posix/sources/system_bus.h"

#include <systemd/sd-bus.h>

#include <cstring>

namespace {

// The form waits for this: a stuck bus must not hold it up.
constexpr uint64_t kCallTimeoutUsec = 1'000'000;
constexpr const char* kBus = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";

bool IsRunning(sd_bus* bus, const char* name) {
  sd_bus_message* reply = nullptr;
  int owned = 0;
  const bool asked = sd_bus_call_method(bus, kBus, kBusPath, kBus, "NameHasOwner", nullptr, &reply,
                                        "s", name) >= 0 &&
                     sd_bus_message_read(reply, "b", &owned) >= 0;
  sd_bus_message_unref(reply);
  return asked && owned;
}

bool IsActivatable(sd_bus* bus, const char* name) {
  sd_bus_message* reply = nullptr;
  bool found = false;
  if (sd_bus_call_method(bus, kBus, kBusPath, kBus, "ListActivatableNames", nullptr, &reply, "") >=
          0 &&
      sd_bus_message_enter_container(reply, 'a', "s") >= 0) {
    const char* listed = nullptr;
    while (!found && sd_bus_message_read(reply, "s", &listed) > 0) {
      found = std::strcmp(listed, name) == 0;
    }
  }
  sd_bus_message_unref(reply);
  return found;
}

}  // namespace

bool SystemBusHasService(const char* name) {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return false;
  sd_bus_set_method_call_timeout(bus, kCallTimeoutUsec);
  const bool has = IsRunning(bus, name) || IsActivatable(bus, name);
  sd_bus_flush_close_unref(bus);
  return has;
}

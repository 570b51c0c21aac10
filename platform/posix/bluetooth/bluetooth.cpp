// Bluetooth on Linux: no Widcomm tray; the radio's mode is the first BlueZ
// adapter's Powered and Discoverable, over the system D-Bus (sd-bus).
#include "platform/bluetooth.h"

#include <systemd/sd-bus.h>

#include <cstring>
#include <string>

namespace {

// A missing or stuck bluetoothd must never hold a run up for long.
constexpr uint64_t kCallTimeoutUsec = 2'000'000;
constexpr const char* kBluez = "org.bluez";
constexpr const char* kAdapterInterface = "org.bluez.Adapter1";

// One private connection per operation: sd-bus objects belong to one thread.
struct Bus {
  sd_bus* bus = nullptr;
  Bus() {
    if (sd_bus_open_system(&bus) < 0) bus = nullptr;
    if (bus) sd_bus_set_method_call_timeout(bus, kCallTimeoutUsec);
  }
  ~Bus() { sd_bus_flush_close_unref(bus); }
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;
};

struct Message {
  sd_bus_message* message = nullptr;
  ~Message() { sd_bus_message_unref(message); }
};

// Whether the interface dictionary the reply is in holds org.bluez.Adapter1;
// leaves the reply after the dictionary.
int HoldsAdapter(sd_bus_message* reply, bool& adapter) {
  int r = sd_bus_message_enter_container(reply, 'a', "{sa{sv}}");
  if (r < 0) return r;
  while ((r = sd_bus_message_enter_container(reply, 'e', "sa{sv}")) > 0) {
    const char* name = nullptr;
    if ((r = sd_bus_message_read(reply, "s", &name)) < 0) return r;
    if (std::strcmp(name, kAdapterInterface) == 0) adapter = true;
    if ((r = sd_bus_message_skip(reply, "a{sv}")) < 0) return r;
    if ((r = sd_bus_message_exit_container(reply)) < 0) return r;
  }
  if (r < 0) return r;
  return sd_bus_message_exit_container(reply);
}

// Adapter paths differ only in their index: the shorter is the lower one
// (hci2 before hci10), as in hciconfig's order.
bool AdapterBefore(const char* path, const std::string& other) {
  const size_t length = std::strlen(path);
  if (length != other.size()) return length < other.size();
  return other.compare(path) > 0;
}

// The adapter with the lowest index (hci0 before hci1); empty for none.
std::string FirstAdapter(sd_bus* bus) {
  Message reply;
  if (sd_bus_call_method(bus, kBluez, "/", "org.freedesktop.DBus.ObjectManager",
                         "GetManagedObjects", nullptr, &reply.message, "") < 0) {
    return {};
  }
  std::string first;
  if (sd_bus_message_enter_container(reply.message, 'a', "{oa{sa{sv}}}") < 0) return {};
  while (sd_bus_message_enter_container(reply.message, 'e', "oa{sa{sv}}") > 0) {
    const char* path = nullptr;
    bool adapter = false;
    if (sd_bus_message_read(reply.message, "o", &path) < 0) return {};
    if (HoldsAdapter(reply.message, adapter) < 0) return {};
    if (adapter && (first.empty() || AdapterBefore(path, first))) first = path;
    if (sd_bus_message_exit_container(reply.message) < 0) return {};
  }
  return first;
}

bool GetFlag(sd_bus* bus, const std::string& adapter, const char* property, bool& value) {
  int flag = 0;
  if (sd_bus_get_property_trivial(bus, kBluez, adapter.c_str(), kAdapterInterface, property,
                                  nullptr, 'b', &flag) < 0) {
    return false;
  }
  value = flag != 0;
  return true;
}

bool SetFlag(sd_bus* bus, const std::string& adapter, const char* property, bool value) {
  return sd_bus_set_property(bus, kBluez, adapter.c_str(), kAdapterInterface, property, nullptr,
                             "b", int(value)) >= 0;
}

}  // namespace

// Linux has no tray window, so every decision goes to the mode calls.
TrayWindow FindTrayWindow(const char16_t*) { return nullptr; }
unsigned RegisterTrayMessage(const char16_t*) { return 0; }
intptr_t SendTrayMessage(TrayWindow, unsigned, uintptr_t, intptr_t) { return 0; }

bool BthGetMode(uint32_t* mode) {
  Bus bus;
  if (!bus.bus) return false;
  const std::string adapter = FirstAdapter(bus.bus);
  bool powered = false, discoverable = false;
  if (adapter.empty() || !GetFlag(bus.bus, adapter, "Powered", powered)) return false;
  if (powered && !GetFlag(bus.bus, adapter, "Discoverable", discoverable)) discoverable = false;
  if (mode) *mode = !powered ? kBthPowerOff : discoverable ? kBthDiscoverable : kBthConnectable;
  return true;
}

bool BthSetMode(uint32_t mode) {
  if (mode > kBthDiscoverable) return false;
  Bus bus;
  if (!bus.bus) return false;
  const std::string adapter = FirstAdapter(bus.bus);
  if (adapter.empty()) return false;
  if (mode == kBthPowerOff) return SetFlag(bus.bus, adapter, "Powered", false);
  if (!SetFlag(bus.bus, adapter, "Powered", true)) return false;
  // Connectable alone: an adapter left discoverable is made hidden again.
  bool discoverable = false;
  if (mode == kBthConnectable &&
      !(GetFlag(bus.bus, adapter, "Discoverable", discoverable) && discoverable)) {
    return true;
  }
  return SetFlag(bus.bus, adapter, "Discoverable", mode == kBthDiscoverable);
}

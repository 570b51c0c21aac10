// The configuration form's port list on Linux, on a machine made of a folder and a private bus.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/port_list.h"
#include "serial/private_bus.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::vector<std::string> Entries(const std::vector<OfferedPort>& offered) {
  std::vector<std::string> entries;
  for (const OfferedPort& port : offered) {
    entries.push_back(Utf8(port.shown) + " -> " + Utf8(port.port));
  }
  return entries;
}

struct TempFolder {
  fs::path path;
  TempFolder() {
    char pattern[] = "/tmp/quarvel-ports-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempFolder() { fs::remove_all(path); }
};

const std::vector<std::string> kBuiltIn = {
    "gpsd: -> gpsd:", "DEMO: -> DEMO:", "COM1: -> COM1:", "COM2: -> COM2:",
    "COM3: -> COM3:", "COM4: -> COM4:", "COM5: -> COM5:", "COM6: -> COM6:",
    "COM7: -> COM7:", "COM8: -> COM8:", "COM9: -> COM9:"};

std::vector<std::string> Then(std::vector<std::string> first,
                              const std::vector<std::string>& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

// "auto:" first, then stable links, named after their devices, then the devices no link leads
// to, each kind counted in order, then the built-in sources.
TEST(OfferedPorts, ReceiversNamedThenBuiltInSources) {
  TempFolder root;
  const fs::path byId = root.path / "serial/by-id";
  fs::create_directories(byId);
  for (const char* device : {"ttyUSB10", "ttyUSB2", "ttyUSB0", "ttyACM0", "rfcomm1", "ttyS0",
                             "ttyUSB", "console", "serial0"}) {
    std::ofstream(root.path / device);
  }
  const std::string ublox = "usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00";
  fs::create_symlink("../../ttyACM0", byId / ublox);
  fs::create_symlink("../../ttyUSB2", byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  setenv("QUARVEL_DEVICE_DIR", root.path.c_str(), 1);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quarvel-bus", 1);
  const std::vector<OfferedPort> offered = OfferedPorts();
  unsetenv("QUARVEL_DEVICE_DIR");
  const std::string links = byId.string() + "/";
  EXPECT_EQ(Entries(offered),
            Then({"auto: -> auto:",
                  "FTDI FT232R USB UART A50285BI (ttyUSB2) -> " + links +
                      "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                  "u-blox 7 GPS/GNSS Receiver (ttyACM0) -> " + links + ublox, "ttyUSB0 -> ttyUSB0",
                  "ttyUSB10 -> ttyUSB10", "rfcomm1 -> rfcomm1"},
                 kBuiltIn));
}

TEST(OfferedPorts, NoDevicesLeaveTheBuiltInSources) {
  setenv("QUARVEL_DEVICE_DIR", "/nonexistent/quarvel", 1);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quarvel-bus", 1);
  EXPECT_EQ(Entries(OfferedPorts()), Then({"auto: -> auto:"}, kBuiltIn));
  unsetenv("QUARVEL_DEVICE_DIR");
}

// "location:" comes before gpsd: when GeoClue runs on the bus or the bus would start it.
TEST(OfferedPorts, LocationWhenGeoClueIsOnTheSystemBus) {
  enum class GeoClue { Absent, Running, Startable, OtherServiceRunning };
  const struct {
    GeoClue geoclue;
    bool offered;
  } cases[] = {{GeoClue::Absent, false},
               {GeoClue::Running, true},
               {GeoClue::Startable, true},
               {GeoClue::OtherServiceRunning, false}};
  setenv("QUARVEL_DEVICE_DIR", "/nonexistent/quarvel", 1);
  for (const auto& c : cases) {
    TempFolder folder;
    PrivateBus bus(folder.path);
    if (c.geoclue == GeoClue::Running) {
      ASSERT_TRUE(bus.Own("org.freedesktop.GeoClue2"));
    }
    if (c.geoclue == GeoClue::OtherServiceRunning) {
      ASSERT_TRUE(bus.Own("org.freedesktop.GeoClue"));
    }
    if (c.geoclue == GeoClue::Startable) {
      std::ofstream(folder.path / "services/org.freedesktop.GeoClue2.service")
          << "[D-BUS Service]\nName=org.freedesktop.GeoClue2\nExec=/bin/false\nUser=root\n";
    }
    const std::vector<std::string> expected =
        Then(c.offered ? std::vector<std::string>{"auto: -> auto:", "location: -> location:"}
                       : std::vector<std::string>{"auto: -> auto:"},
             kBuiltIn);
    EXPECT_EQ(Entries(OfferedPorts()), expected) << "case " << int(c.geoclue);
  }
  unsetenv("QUARVEL_DEVICE_DIR");
}

}  // namespace

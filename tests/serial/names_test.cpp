// Port names on Linux: device paths and demo names, and gpsd's JSON filter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "locator/reader/demo_receiver.h"
#include "locator/reader/gpsd_filter.h"
#include "platform/posix/sources/serial_posix.h"
#include "platform/serial_port.h"

namespace {

std::string Utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(SerialNames, DevicePathForEachKindOfName) {
  const struct {
    std::u16string name;
    std::string path;
  } cases[] = {
      {u"COM1:", "/dev/ttyS0"},
      {u"COM4:", "/dev/ttyS3"},
      {u"com2", "/dev/ttyS1"},
      {u"COM10:", "/dev/ttyS9"},
      {u"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {u"/tmp/gps link", "/tmp/gps link"},
      {u"ttyUSB0", "/dev/ttyUSB0"},
      {u"rfcomm0", "/dev/rfcomm0"},
      {u"pts/3", "/dev/pts/3"},
      {u"ttyACM0:", "/dev/ttyACM0"},
      {u"COM0:", "/dev/COM0"},
      {u"COMX:", "/dev/COMX"},
      {u"COM1:x", "/dev/COM1:x"},
      {u"", ""},
      {u"../etc/passwd", ""},
      {u"/dev/../etc/passwd", ""},
      {u":", ""},
      {u"gps\u00e9", "/dev/gps\xc3\xa9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SerialDevicePath(c.name.c_str()), c.path) << "name \"" << Utf8(c.name) << "\"";
  }
}

// What "auto:" tries: the receivers as paths, then a board's UART once under any of its names.
TEST(SerialPortsPresent, ReceiversThenTheBoardUartOnce) {
  const struct {
    const char* what;
    std::vector<std::string> devices;
    std::vector<std::pair<std::string, std::string>> links;  // name, target
    std::vector<std::string> present;
  } cases[] = {
      {"none", {}, {}, {}},
      {"USB and ACM with a by-id link",
       {"ttyUSB1", "ttyACM0", "ttyS1"},
       {{"serial/by-id/usb-u-blox-if00", "../../ttyACM0"}},
       {"serial/by-id/usb-u-blox-if00", "ttyUSB1"}},
      {"serial0 leading to ttyAMA0",
       {"ttyAMA0", "ttyS0"},
       {{"serial0", "ttyAMA0"}},
       {"serial0", "ttyS0"}},
      {"ttyS0 alone", {"ttyS0", "ttyS1"}, {}, {"ttyS0"}},
  };
  for (const auto& c : cases) {
    char pattern[] = "/tmp/quarvel-dev-XXXXXX";
    const std::string root = mkdtemp(pattern);
    std::filesystem::create_directories(root + "/serial/by-id");
    for (const std::string& device : c.devices) std::ofstream(root + "/" + device);
    for (const auto& [name, target] : c.links)
      std::filesystem::create_symlink(target, root + "/" + name);
    setenv("QUARVEL_DEVICE_DIR", root.c_str(), 1);
    const std::vector<std::u16string> names = SerialPortsPresent();
    unsetenv("QUARVEL_DEVICE_DIR");
    std::filesystem::remove_all(root);
    std::vector<std::string> got, expected;
    for (const std::u16string& name : names) got.push_back(Utf8(name));
    for (const std::string& name : c.present) expected.push_back(root + "/" + name);
    EXPECT_EQ(got, expected) << c.what;
  }
}

TEST(SerialNames, DemoNameInAnyCaseOnly) {
  EXPECT_TRUE(IsDemoPortName(u"DEMO:"));
  EXPECT_TRUE(IsDemoPortName(u"demo:"));
  EXPECT_FALSE(IsDemoPortName(u"DEMO"));
  EXPECT_FALSE(IsDemoPortName(u"DEMO:1"));
  EXPECT_FALSE(IsDemoPortName(u"COM1:"));
  EXPECT_FALSE(IsDemoPortName(nullptr));
}

TEST(GpsdFilter, DropsJsonLinesEvenWhenSplitAcrossReads) {
  const struct {
    std::string chunks[3];
    std::string kept;
  } cases[] = {
      {{"{\"class\":\"VERSION\"}\r\n$GPGGA,1*00\r\n", "", ""}, "$GPGGA,1*00\r\n"},
      {{"{\"class\":\"DEV", "ICE\",\"path\":\"*$\"}\n$GP", "RMC*11\r\n"}, "$GPRMC*11\r\n"},
      {{"$GPGGA,{x}*22\r\n", "{\"a\":1}\r\n", "$GPVTG*33\r\n"}, "$GPGGA,{x}*22\r\n$GPVTG*33\r\n"},
      {{"", "", ""}, ""},
  };
  for (const auto& c : cases) {
    GpsdFilter filter;
    std::string kept;
    for (std::string chunk : c.chunks) {
      kept.append(chunk.data(), DropGpsdJson(filter, chunk.data(), chunk.size()));
    }
    EXPECT_EQ(kept, c.kept) << "from \"" << c.chunks[0] << c.chunks[1] << c.chunks[2] << "\"";
  }
}

}  // namespace

// The "@speed" suffix of port texts.
#include <gtest/gtest.h>

#include "locator/reader/port_speed.h"

namespace {

TEST(PortSpeed, SuffixSplitFromTheName) {
  const struct {
    std::u16string text, name;
    uint32_t speed;
  } cases[] = {
      {u"ttyUSB0@9600", u"ttyUSB0", 9600},
      {u"COM5:@38400", u"COM5:", 38400},
      {u"/dev/serial/by-id/usb-u-blox-if00@115200", u"/dev/serial/by-id/usb-u-blox-if00", 115200},
      {u"DEMO:@4800", u"DEMO:", 4800},
      {u"a@b@19200", u"a@b", 19200},
      {u"ttyUSB0", u"ttyUSB0", 0},
      {u"ttyUSB0@", u"ttyUSB0@", 0},
      {u"ttyUSB0@0", u"ttyUSB0@0", 0},
      {u"ttyUSB0@96x0", u"ttyUSB0@96x0", 0},
      {u"ttyUSB0@12345678", u"ttyUSB0@12345678", 0},
      {u"/tmp/gps@home/link", u"/tmp/gps@home/link", 0},
      {u"@9600", u"", 9600},
  };
  for (const auto& c : cases) {
    const PortSpeed split = SplitPortSpeed(c.text);
    const std::string text(c.text.begin(), c.text.end());
    EXPECT_EQ(std::u16string(split.name), c.name) << text;
    EXPECT_EQ(split.speed, c.speed) << text;
  }
}

}  // namespace

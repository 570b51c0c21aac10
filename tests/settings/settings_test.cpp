// Quarvel's settings from settings.ini: each value line into its field.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "settings/settings_lines.h"
#include "settings/temp_dir.h"

namespace {

Settings AllOn() {
  Settings s;
  s.liteMap = s.bluetooth = s.coordinatesOnly = 1;
  return s;
}

struct RecordCase {
  const char* name;
  std::string file;
  Settings start;
  Settings expected;
};

const std::string kLong300 = std::string(300, 'L');
const char kById[] =
    "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00";

const RecordCase kRecordCases[] = {
    {"example",
     "# COM port\nCOM4:\n# Default map type\nh\n# Lite map\n1\n# Bluetooth\n1\n"
     "# Coordinates only\n0\n",
     Settings{}, Expect(u"COM4:", u"h", 1, 1, 0)},
    {"example with CR LF",
     "# COM port\r\nCOM4:\r\n# Default map type\r\nh\r\n# Lite map\r\n1\r\n"
     "# Bluetooth\r\n1\r\n# Coordinates only\r\n0\r\n",
     Settings{}, Expect(u"COM4:", u"h", 1, 1, 0)},
    {"comments only keep every default", "# COM port\n\n# map\r\n\r\n", Settings{},
     Expect(u"COM1:", u"n", 0, 0, 0)},
    {"comments only keep what was there", "# COM port\n", AllOn(), Expect(u"COM1:", u"n", 1, 1, 1)},
    {"empty port line moves every value up",
     "# COM port\n\n# Default map type\nh\n# Lite map\n1\n# Bluetooth\n0\n# Coordinates only\n1\n",
     Settings{}, Expect(u"h", u"1", 0, 1, 0)},
    {"leading space turns a flag off", "COM4:\nh\n 1\n 1\n 1\n", AllOn(),
     Expect(u"COM4:", u"h", 0, 0, 0)},
    {"map line with a leading space gives a space", "COM4:\n h\n", Settings{},
     Expect(u"COM4:", u" ", 0, 0, 0)},
    {"upper-case map letter passes unchanged", "COM4:\nH\n", Settings{},
     Expect(u"COM4:", u"H", 0, 0, 0)},
    {"map word: first character only", "COM4:\nhybrid\n", Settings{},
     Expect(u"COM4:", u"h", 0, 0, 0)},
    {"flag text: first character only", "COM4:\nn\n10\n01\nyes\n", AllOn(),
     Expect(u"COM4:", u"n", 1, 0, 0)},
    {"port of 15 units is whole", "/dev/ttyUSB0-1234\n", Settings{},
     Expect(u"/dev/ttyUSB0-1234", u"n", 0, 0, 0)},
    {"by-id port of 82 units is whole", std::string(kById) + "\nh\n", Settings{},
     Expect(std::u16string(kById, kById + sizeof kById - 1), u"h", 0, 0, 0)},
    {"port cut to 259 units, then trailing spaces trimmed", std::string(255, 'p') + "    X\n",
     Settings{}, Expect(std::u16string(255, u'p'), u"n", 0, 0, 0)},
    {"port of 8 units with CR LF", "COM10:ab\r\n", Settings{}, Expect(u"COM10:ab", u"n", 0, 0, 0)},
    {"port of 9 units with CR LF", "/dev/tty9\r\n", Settings{},
     Expect(u"/dev/tty9", u"n", 0, 0, 0)},
    {"line of 300 units is one value, cut", kLong300 + "\nh\n1\n1\n", Settings{},
     Expect(std::u16string(259, u'L'), u"h", 1, 1, 0)},
    {"sixth and seventh value lines are the format and map host", "COM2:\ns\n0\n1\n0\n1\np\n",
     AllOn(), WithLater(Expect(u"COM2:", u"s", 0, 1, 0), u"1", u"p")},
    {"format and map host under their comments, CR LF and spaces trimmed",
     "# COM port\nCOM2:\n# M\nh\n# L\n1\n# B\n0\n# C\n1\n# Format\ndms \r\n"
     "# Map host\nmaps.example.org:8080/q\r\n# Later\nzz\n",
     Settings{}, WithLater(Expect(u"COM2:", u"h", 1, 0, 1), u"dms", u"maps.example.org:8080/q")},
    {"a format line of one space is an empty format", "COM2:\ns\n0\n1\n0\n \nosm.example\n",
     Settings{}, WithLater(Expect(u"COM2:", u"s", 0, 1, 0), u"", u"osm.example")},
    {"fewer lines leave the rest", "COM3:\np\n", AllOn(), Expect(u"COM3:", u"p", 1, 1, 1)},
    {"non-ASCII port", "COM\xC3\xA9:\n", Settings{}, Expect(u"COM\u00E9:", u"n", 0, 0, 0)},
    {"map line of a NUL leaves no letter", std::string("COM4:\n\0\n", 8), Settings{},
     Expect(u"COM4:", u"", 0, 0, 0)},
};

TEST(ApplySettingsValues, FieldsFromFiles) {
  TempDir dir;
  for (const RecordCase& c : kRecordCases) {
    WriteBytes(dir / "settings.ini", c.file);
    Settings settings = c.start;
    ApplySettingsValues(ReadSettingsValues(Wide(dir / "settings.ini").c_str()), settings);
    EXPECT_EQ(Describe(settings), Describe(c.expected)) << c.name;
  }
}

TEST(ApplySettingsValues, MissingFileKeepsEverything) {
  TempDir dir;
  Settings settings = AllOn();
  ApplySettingsValues(ReadSettingsValues(Wide(dir / "none.ini").c_str()), settings);
  EXPECT_EQ(Describe(settings), Describe(AllOn()));
}

TEST(FlagText, OneOrZero) {
  EXPECT_EQ(std::u16string(FlagText(true)), u"1");
  EXPECT_EQ(std::u16string(FlagText(false)), u"0");
}

TEST(Settings, DefaultsOfARun) {
  EXPECT_EQ(Describe(Settings{}), "port=\"COM1:\" map=\"n\" lite=0 bluetooth=0 coordinates=0");
}

}  // namespace

// The line rules of settings.ini: which lines hold values, how long lines split,
// and the trimming of line ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_lines.h"
#include "settings/temp_dir.h"

namespace {

const std::string kExampleFile =
    "# COM port\nCOM4:\n# Default map type\nh\n# Lite map\n1\n"
    "# Bluetooth\n1\n# Coordinates only\n0\n";

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

struct ReadCase {
  const char* name;
  std::string file;
  std::vector<std::u16string> values;
};

const std::u16string kKept(kSettingsLineUnits - 1, u'x');  // what a line keeps at most
const std::u16string kFace = u"\U0001F600";

const ReadCase kReadCases[] = {
    {"example with LF", kExampleFile, {u"COM4:\n", u"h\n", u"1\n", u"1\n", u"0\n"}},
    {"example with CR LF",
     CrLf(kExampleFile),
     {u"COM4:\r\n", u"h\r\n", u"1\r\n", u"1\r\n", u"0\r\n"}},
    {"comments and empty lines only", "# a\n\n#b\r\n\r\n\r#\n", {}},
    {"empty file", "", {}},
    {"empty port line moves every value up",
     "# COM port\n\n# Default map type\nh\n# Lite\n1\n",
     {u"h\n", u"1\n"}},
    {"leading space or tab makes a value line",
     " 1\n\t# not a comment\n \n",
     {u" 1\n", u"\t# not a comment\n", u" \n"}},
    {"line of 300 units is one line, cut", std::string(300, 'x') + "\nh\n", {kKept, u"h\n"}},
    {"line that just fills the buffer drops only its line feed",
     std::string(kKept.size(), 'x') + "\nh\n",
     {kKept, u"h\n"}},
    {"long port line with CR LF is whole",
     std::string(259, 'p') + "\r\nh\n",
     {std::u16string(259, u'p') + u"\r\n", u"h\n"}},
    {"long comment shifts nothing",
     "# " + std::string(500, 'c') + "\nCOM4:\nh\n",
     {u"COM4:\n", u"h\n"}},
    {"by-id port name of 82 units",
     "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00\n",
     {u"/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00\n"}},
    {"only the seven value lines this program knows",
     "a\nb\nc\nd\ne\nf\ng\nh\n",
     {u"a\n", u"b\n", u"c\n", u"d\n", u"e\n", u"f\n", u"g\n"}},
    {"last line without a line feed", "# COM port\nCOM7:", {u"COM7:"}},
    {"UTF-8 text", "# port\nCOM\xC3\xA9:\n\xE6\x97\xA5\n", {u"COM\u00E9:\n", u"\u65E5\n"}},
    {"bytes that are no UTF-8 read as U+FFFD",
     "\xFF"
     "1\n\xC3(\n\xE6\x97\n",
     {u"\uFFFD1\n", u"\uFFFD(\n", u"\uFFFD\n"}},
    {"surrogate pair never split at the buffer's end",
     std::string(kKept.size() - 1, 'x') + "\xF0\x9F\x98\x80\nh\n",
     {std::u16string(kKept.size() - 1, u'x'), u"h\n"}},
    {"surrogate pair that fits",
     std::string(kKept.size() - 2, 'x') + "\xF0\x9F\x98\x80\nh\n",
     {std::u16string(kKept.size() - 2, u'x') + kFace, u"h\n"}},
    {"a CR inside a line stays", "a\rb\r\n", {u"a\rb\r\n"}},
};

std::vector<std::u16string> ValuesOf(const SettingsValues& values) {
  std::vector<std::u16string> out;
  for (int i = 0; i < values.count; ++i) out.emplace_back(values.lines[i]);
  return out;
}

TEST(ReadSettingsValues, ValueLinesOfFiles) {
  TempDir dir;
  for (const ReadCase& c : kReadCases) {
    WriteBytes(dir / "settings.ini", c.file);
    const SettingsValues values = ReadSettingsValues(Wide(dir / "settings.ini").c_str());
    EXPECT_TRUE(values.found) << c.name;
    std::vector<std::u16string> expected = c.values;
    // A line feed alone is never a value line; the table shows it only to say so.
    std::erase(expected, u"\n");
    std::vector<std::u16string> got = ValuesOf(values);
    std::string shownGot, shownExpected;
    for (auto& v : got) shownGot += "[" + Show(v) + "]";
    for (auto& v : expected) shownExpected += "[" + Show(v) + "]";
    EXPECT_EQ(shownGot, shownExpected) << c.name;
    EXPECT_EQ(got, expected) << c.name;
  }
}

TEST(ReadSettingsValues, MissingFileIsReportedAsMissing) {
  TempDir dir;
  const SettingsValues values = ReadSettingsValues(Wide(dir / "settings.ini").c_str());
  EXPECT_FALSE(values.found);
  EXPECT_EQ(values.count, 0);
}

TEST(ReadSettingsValues, AFolderInsteadOfAFileHoldsNoValues) {
  TempDir dir;
  std::filesystem::create_directory(dir / "settings.ini");
  const SettingsValues values = ReadSettingsValues(Wide(dir / "settings.ini").c_str());
  EXPECT_EQ(values.count, 0);
}

TEST(ReadSettingsValues, EndlessFileStopsAfterFiveValues) {
  // /dev/zero never ends: each read is a piece of NULs, a value line of its own.
  const SettingsValues values = ReadSettingsValues(u"/dev/zero");
  EXPECT_TRUE(values.found);
  EXPECT_EQ(values.count, kSettingsValueCount);
}

TEST(TrimLineEnd, CutsSpacesAndLineEndsOnly) {
  const struct {
    std::u16string in, out;
  } cases[] = {
      {u"COM4:\r\n", u"COM4:"},
      {u"COM4:\n", u"COM4:"},
      {u"h  \r\n \n", u"h"},
      {u"a \t \n", u"a \t"},
      {u"\t\n", u"\t"},
      {u"   ", u""},
      {u"", u""},
      {u" x", u" x"},
      {u"x\v", u"x\v"},
      {u"\r\r\n\n", u""},
      {u"a\rb\r", u"a\rb"},
  };
  for (const auto& c : cases) {
    std::u16string text = c.in;
    char16_t* result = TrimLineEnd(text.data());
    EXPECT_EQ(result, text.data()) << "returns the same text for [" << Show(c.in) << "]";
    EXPECT_EQ(std::u16string(result), c.out)
        << "[" << Show(c.in) << "] became [" << Show(result) << "]";
  }
}

TEST(IsFlagOn, OnlyALeadingOne) {
  const struct {
    std::u16string line;
    bool on;
  } cases[] = {{u"1", true},    {u"1\n", true},    {u"10", true}, {u"1x", true},
               {u"0", false},   {u" 1", false},    {u"", false},  {u"\t1", false},
               {u"yes", false}, {u"\uFF11", false}};
  for (const auto& c : cases) EXPECT_EQ(IsFlagOn(c.line.c_str()), c.on) << Show(c.line);
}

TEST(IsSkippedLine, FirstUnitDecides) {
  const struct {
    std::u16string line;
    bool skipped;
  } cases[] = {{u"# COM port\n", true}, {u"#", true},     {u"\n", true},    {u"\r\n", true},
               {u"\r", true},           {u" #\n", false}, {u"\t\n", false}, {u"x#\n", false}};
  for (const auto& c : cases) EXPECT_EQ(IsSkippedLine(c.line.c_str()), c.skipped) << Show(c.line);
}

}  // namespace

// The values after the fifth: a save keeps the lines the file had after its fifth value
// and writes the record's format and map host, and a five-value file stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings_file.h"
#include "settings/temp_dir.h"

namespace {

const std::string kFive =
    "# COM port\nCOM4:\n# Default map type\nh\n# Lite map\n1\n"
    "# Bluetooth\n1\n# Coordinates only\n0\n";

struct SaveCase {
  const char* name;
  std::string oldFile;  // empty: no file before the save
  Settings record;
  int recordValues;
  std::string written;
};

const Settings kForm = Expect(u"COM4:", u"h", 1, 1, 0);

const SaveCase kSaveCases[] = {
    {"nothing later: five values, as always", "", kForm, 5, kFive},
    {"a five-value file stays five values", kFive, kForm, 6, kFive},
    {"a format alone adds its line", kFive, WithLater(kForm, u"dms", u""), 5,
     kFive + "# Format\ndms\n"},
    {"a map host alone needs a format line of one space", "", WithLater(kForm, u"", u"m.example"),
     5, kFive + "# Format\n \n# Map host\nm.example\n"},
    {"the file's later lines, comments and an unknown eighth value are kept",
     kFive + "# Format\r\nutm\r\n\n# Map host\nh.example:81/map\n# Eighth\n8\n", kForm, 5,
     kFive + "# Format\r\nutm\r\n\n# Map host\nh.example:81/map\n# Eighth\n8\n"},
    {"the record's format replaces the file's, the map host stays",
     kFive + "# Format\nutm\n# Map host\nh.example\n", WithLater(kForm, u"json", u""), 5,
     kFive + "# Format\njson\n# Map host\nh.example\n"},
    {"a record that decides the format clears it", kFive + "# Format\nutm\n# Map host\nh.example\n",
     kForm, 6, kFive + "# Format\n \n# Map host\nh.example\n"},
    {"the map host is added after the file's format", kFive + "# Format\ngeo\n",
     WithLater(kForm, u"", u"a.example"), 5, kFive + "# Format\ngeo\n# Map host\na.example\n"},
    {"the first five come from the record alone", "# COM port\nCOM9:\nx\n0\n0\n1\n# Format\ndd\n",
     kForm, 5, kFive + "# Format\ndd\n"},
};

TEST(WriteSettingsFile, LaterValueLines) {
  for (const SaveCase& c : kSaveCases) {
    TempDir dir;
    const std::u16string path = Wide(dir / "settings.ini");
    if (!c.oldFile.empty()) WriteBytes(dir / "settings.ini", c.oldFile);
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), c.record, c.recordValues)) << c.name;
    EXPECT_EQ(ReadBytes(dir / "settings.ini"), c.written) << c.name;
    // What was written reads back as the record, where the record speaks.
    Settings back;
    ReadSettingsFile(path.c_str(), back);
    if (c.record.format[0]) {
      EXPECT_EQ(Show(back.format), Show(c.record.format)) << c.name;
    }
    if (c.record.mapHost[0]) {
      EXPECT_EQ(Show(back.mapHost), Show(c.record.mapHost)) << c.name;
    }
  }
}

}  // namespace

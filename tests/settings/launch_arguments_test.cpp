// The launch-argument line: five words, every space counts, last character wins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/launch_arguments.h"
#include "platform/command_line.h"
#include "settings/temp_dir.h"

namespace {

Settings AllOn() {
  Settings s;
  s.liteMap = s.bluetooth = s.coordinatesOnly = 1;
  return s;
}

struct LineCase {
  std::u16string line;
  Settings start;
  Settings expected;
};

const LineCase kLineCases[] = {
    // The worked examples.
    {u"COM4: h 1 1 0", Settings{}, Expect(u"COM4:", u"h", 1, 1, 0)},
    {u"COM4:  1 1", Settings{}, Expect(u"COM4:", u"n", 1, 1, 0)},
    {u"COM2:", Settings{}, Expect(u"COM2:", u"n", 0, 0, 0)},
    {u" n 1", Settings{}, Expect(u"", u"n", 1, 0, 0)},
    {u"COM4: hybrid 10 01", Settings{}, Expect(u"COM4:", u"d", 0, 1, 0)},
    // Spaces.
    {u"COM4: h 1 1 0 ", Settings{}, Expect(u"COM4:", u"h", 1, 1, 0)},
    {u"COM 1 h 1 1 0", Settings{}, Expect(u"COM", u"1", 0, 1, 1)},
    {u"     ", AllOn(), Expect(u"", u"n", 1, 1, 1)},
    {u"COM4:\th 1", Settings{}, Expect(u"COM4:\th", u"1", 0, 0, 0)},
    {u"COM4: h  1", Settings{}, Expect(u"COM4:", u"h", 0, 1, 0)},
    // Word lengths and the last character.
    {u"/dev/ttyUSB0 s", Settings{}, Expect(u"/dev/ttyUSB0", u"s", 0, 0, 0)},
    {std::u16string(300, u'p') + u" h 1", Settings{},
     Expect(std::u16string(259, u'p'), u"h", 1, 0, 0)},
    {u"123456789", Settings{}, Expect(u"123456789", u"n", 0, 0, 0)},
    {u"COM4: x 0001 1110 2", AllOn(), Expect(u"COM4:", u"x", 1, 0, 0)},
    {u"COM4: h 1 1 1 0 0 x", Settings{}, Expect(u"COM4:", u"h", 1, 1, 1)},
    {u"COM4: h 1 1 1 dms m.example", Settings{}, Expect(u"COM4:", u"h", 1, 1, 1)},
    {u"COM4: H 1", Settings{}, Expect(u"COM4:", u"H", 1, 0, 0)},
    // Missing words keep what the record held.
    {u"COM5:", AllOn(), Expect(u"COM5:", u"n", 1, 1, 1)},
    {u"COM5: s", AllOn(), Expect(u"COM5:", u"s", 1, 1, 1)},
    {u"", AllOn(), Expect(u"", u"n", 1, 1, 1)},
    // Text beyond ASCII passes as it is.
    {u"COM\u00E9: \u00FC 1", Settings{}, Expect(u"COM\u00E9:", u"\u00FC", 1, 0, 0)},
};

TEST(ParseLaunchArguments, Lines) {
  for (const LineCase& c : kLineCases) {
    Settings settings = c.start;
    ParseLaunchArguments(c.line.c_str(), settings);
    EXPECT_EQ(Describe(settings), Describe(c.expected)) << "line [" << Show(c.line) << "]";
  }
}

TEST(ParseLaunchArguments, LongPortNeverOverflows) {
  Settings settings;
  const std::u16string line = std::u16string(5000, u'P') + u" s 1 1 1";
  ParseLaunchArguments(line.c_str(), settings);
  EXPECT_EQ(Describe(settings),
            Describe(Expect(std::u16string(kPortNameUnits, u'P'), u"s", 1, 1, 1)));
}

// What a shortcut carries: the words QuarvelConfig writes, and what Quarvel reads
// back from them.
TEST(ComposeLaunchArguments, WordsOfARecordReadBack) {
  const struct {
    Settings record;
    std::u16string line;
    Settings readBack;
  } cases[] = {
      {Expect(u"COM4:", u"h", 1, 1, 0), u"COM4: h 1 1 0", Expect(u"COM4:", u"h", 1, 1, 0)},
      {Settings{}, u"COM1: n 0 0 0", Settings{}},
      {Expect(u"/dev/ttyACM0", u"p", 0, 0, 1), u"/dev/ttyACM0 p 0 0 1",
       Expect(u"/dev/ttyACM0", u"p", 0, 0, 1)},
      // An empty port or letter leaves an empty word, which keeps the default.
      {Expect(u"", u"s", 1, 0, 0), u" s 1 0 0", Expect(u"", u"s", 1, 0, 0)},
      {Expect(u"COM4:", u"", 1, 1, 1), u"COM4:  1 1 1", Expect(u"COM4:", u"n", 1, 1, 1)},
      // A port with a space splits into two words, and every later word shifts.
      {Expect(u"COM 1", u"n", 1, 0, 0), u"COM 1 n 1 0 0", Expect(u"COM", u"1", 0, 1, 0)},
      // The format and map host never ride on the launch line.
      {WithLater(Expect(u"COM4:", u"h", 1, 1, 0), u"dms", u"m.example"), u"COM4: h 1 1 0",
       Expect(u"COM4:", u"h", 1, 1, 0)},
  };
  for (const auto& c : cases) {
    const std::u16string line = ComposeLaunchArguments(c.record);
    EXPECT_EQ(line, c.line) << "got [" << Show(line) << "] for " << Describe(c.record);
    Settings settings;
    ParseLaunchArguments(line.c_str(), settings);
    EXPECT_EQ(Describe(settings), Describe(c.readBack)) << "line [" << Show(line) << "]";
  }
}

struct JoinCase {
  std::vector<std::string> argv;
  std::u16string line;
};

const JoinCase kJoinCases[] = {
    {{"quarvel"}, u""},
    {{"quarvel", "COM4:", "h", "1", "1", "0"}, u"COM4: h 1 1 0"},
    {{"quarvel", "COM4:  1 1"}, u"COM4:  1 1"},
    {{"quarvel", "COM4:", "", "1", "1"}, u"COM4:  1 1"},
    {{"quarvel", ""}, u""},
    {{"quarvel", "", "n", "1"}, u" n 1"},
    {{"quarvel", "COM\xC3\xA9:", "\xF0\x9F\x98\x80"}, u"COM\u00E9: \U0001F600"},
    {{"quarvel", "\xFF\xC3"}, u"\uFFFD\uFFFD"},
};

TEST(JoinCommandLine, ArgumentsBySingleSpaces) {
  for (const JoinCase& c : kJoinCases) {
    std::vector<char*> argv;
    std::vector<std::string> copies = c.argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::u16string line = JoinCommandLine(int(c.argv.size()), argv.data());
    EXPECT_EQ(line, c.line) << "joined [" << Show(line) << "], expected [" << Show(c.line) << "]";
  }
}

// A Windows process's own command line: the program's name, one blank, the words.
TEST(LaunchLineFromCommandLine, WordsFollowOneBlankAfterTheProgram) {
  const struct {
    const char16_t* commandLine;
    std::u16string words;
  } cases[] = {
      {u"\"C:\\Quarvel\\Quarvel.exe\" COM4: h 1 1 0", u"COM4: h 1 1 0"},
      {u"\"C:\\Quarvel\\Quarvel.exe\"  n 1", u" n 1"},  // an empty port word
      {u"\"C:\\Program Files\\Quarvel.exe\"\tCOM4:", u"COM4:"},
      {u"Quarvel.exe COM4:", u"COM4:"},
      {u"\"C:\\Program Files\\Quarvel.exe\"", u""},
      {u"\"C:\\Quarvel\\Quarvel.exe", u""},  // no closing quote
      {u"Quarvel.exe", u""},
      {u"", u""},
      {nullptr, u""},
  };
  for (const auto& c : cases) {
    const std::u16string words = LaunchLineFromCommandLine(c.commandLine);
    EXPECT_EQ(words, c.words) << "got [" << Show(words) << "] for ["
                              << (c.commandLine ? Show(c.commandLine) : "null") << "]";
  }
}

TEST(JoinCommandLine, OneQuotedArgumentKeepsItsEmptyWord) {
  std::string program = "quarvel", words = "COM4:  1 1";
  char* argv[] = {program.data(), words.data(), nullptr};
  Settings settings;
  ParseLaunchArguments(JoinCommandLine(2, argv).c_str(), settings);
  EXPECT_EQ(Describe(settings), Describe(Expect(u"COM4:", u"n", 1, 1, 0)));
}

}  // namespace

// A Windows command line in words, and the options and launch words Quarvel.exe finds in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utf8.h"
#include "programs/command_words.h"

namespace {

std::string Words(const std::u16string& line) {
  std::string joined;
  for (const CommandWord& word : SplitCommandWords(line)) {
    joined += "[" + utf8::Utf16ToUtf8(word.text) + "]" + std::to_string(word.end);
  }
  return joined;
}

TEST(CommandWords, SplitAsTheRuntimeDoes) {
  const struct {
    std::u16string line;
    std::string words;  // each word in brackets, then where it ends
  } cases[] = {
      {u"", ""},
      {u"  \t ", ""},
      {u"--timeout 5", "[--timeout]9[5]11"},
      {u" a\tb  c ", "[a]2[b]4[c]7"},
      {u"\"COM 1\" n", "[COM 1]7[n]9"},
      {u"a\"b c\"d", "[ab cd]7"},
      {u"\"a\"\"b\"", "[a\"b]6"},                   // a doubled quote inside quotes
      {u"a\\\"b", "[a\"b]4"},                       // \" is a quote
      {u"a\\\\\"b c\"", "[a\\b c]8"},               // \\" is a backslash, then a quote opens
      {u"a\\\\\\\"b", "[a\\\"b]6"},                 // \\\" is a backslash and a quote
      {u"\\\\.\\COM12 x", "[\\\\.\\COM12]9[x]11"},  // backslashes before no quote
      {u"\"\" x", "[]2[x]4"},                       // an empty quoted word
      {u"\"open", "[open]5"},                       // an unclosed quote ends with the line
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Words(c.line), c.words) << utf8::Utf16ToUtf8(c.line);
  }
}

TEST(CommandWords, OptionsAndTheLaunchWordsAsTheyStand) {
  const struct {
    std::u16string line;
    std::u16string launch;
    bool noClipboard, help;
    int timeout;
  } cases[] = {
      {u"COM4: h 1 1 0", u"COM4: h 1 1 0", false, false, 0},
      {u" n 0 0 1", u" n 0 0 1", false, false, 0},  // an empty port word: no options
      {u"", u"", false, false, 0},
      {u"--no-clipboard DEMO: n 0 0 1", u"DEMO: n 0 0 1", true, false, 0},
      {u"--timeout 5  n 0 0 1", u" n 0 0 1", false, false, 5},  // one blank ends the options
      {u"--timeout=7 --no-clipboard", u"", true, false, 7},
      {u"\"--timeout\" \"12\" COM 1", u"COM 1", false, false, 12},
      {u"-- --timeout", u"--timeout", false, false, 0},  // a port named --timeout
      {u"/? COM1:", u"COM1:", false, true, 0},
      {u"COM1: /?", u"COM1: /?", false, false, 0},  // options come first
  };
  for (const auto& c : cases) {
    const QuarvelCommand command = ReadQuarvelCommand(c.line);
    const std::string line = utf8::Utf16ToUtf8(c.line);
    EXPECT_EQ(command.error, "") << line;
    EXPECT_EQ(utf8::Utf16ToUtf8(command.launchLine), utf8::Utf16ToUtf8(c.launch)) << line;
    EXPECT_EQ(command.options.noClipboard, c.noClipboard) << line;
    EXPECT_EQ(command.options.help, c.help) << line;
    EXPECT_EQ(command.options.timeoutSeconds, c.timeout) << line;
  }
}

TEST(CommandWords, RefusedOptionsSayWhy) {
  EXPECT_EQ(ReadQuarvelCommand(u"--frobnicate DEMO:").error, "unknown option '--frobnicate'");
  EXPECT_EQ(ReadQuarvelCommand(u"--timeout \"\"").error, "option '--timeout': malformed value ''");
  EXPECT_EQ(ReadQuarvelCommand(u"--timeout").error, "option '--timeout' needs a value");
}

}  // namespace

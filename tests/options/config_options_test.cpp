// The settings editor's options: the whole command line, which holds nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/config_options.h"

namespace {

TEST(ConfigOptions, EachLineGivesItsOptionsOrWhyNot) {
  const struct {
    std::vector<std::string> words;
    bool help, version, smartphone;
    std::string error;
  } cases[] = {
      {{}, false, false, false, ""},
      {{"/?"}, true, false, false, ""},
      {{"-h"}, true, false, false, ""},
      {{"--version", "--smartphone"}, false, true, true, ""},
      {{"COM1:"}, false, false, false, "unexpected argument 'COM1:'"},
      {{"--help", "x"}, true, false, false, "unexpected argument 'x'"},
      {{"/x"}, false, false, false, "unexpected argument '/x'"},
      {{"--frobnicate"}, false, false, false, "unknown option '--frobnicate'"},
  };
  for (auto c : cases) {
    c.words.insert(c.words.begin(), "quarvel-config");
    std::vector<char*> argv;
    for (std::string& word : c.words) argv.push_back(word.data());
    ConfigOptions options;
    std::string error;
    const bool read = ReadConfigOptions(int(argv.size()), argv.data(), options, error);
    const std::string line = c.words.size() > 1 ? c.words[1] : "(none)";
    EXPECT_EQ(read, c.error.empty()) << line;
    EXPECT_EQ(error, c.error) << line;
    EXPECT_EQ(options.help, c.help) << line;
    EXPECT_EQ(options.version, c.version) << line;
    EXPECT_EQ(options.smartphone, c.smartphone) << line;
  }
}

TEST(ConfigOptions, UsageNamesEveryOption) {
  const std::string usage = ConfigUsage();
  for (const char* part : {"Usage: quarvel-config [OPTION...]\n", "--gui", "--terminal",
                           "--smartphone", "--version", "-h, --help, /?", "Exit status: 0"}) {
    EXPECT_NE(usage.find(part), std::string::npos) << part;
  }
}

}  // namespace

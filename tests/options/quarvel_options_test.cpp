// quarvel's options before the launch words: what each command line gives, and what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/quarvel_options.h"

namespace {

struct Read {
  bool ok;
  QuarvelOptions options;
  int next;
  std::string error;
};

Read ReadWords(std::vector<std::string> words) {
  words.insert(words.begin(), "quarvel");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  Read read{};
  read.ok = ReadQuarvelOptions(int(words.size()), argv.data(), read.options, read.next, read.error);
  return read;
}

struct Accepted {
  std::vector<std::string> words;
  bool noClipboard, help, version;
  int timeout, next;
};

TEST(QuarvelOptions, AcceptedLinesSetTheirOptionsAndFindTheLaunchWords) {
  const Accepted cases[] = {
      {{}, false, false, false, 0, 1},
      {{"COM4:", "h", "1", "1", "0"}, false, false, false, 0, 1},
      {{"--no-clipboard", "DEMO:"}, true, false, false, 0, 2},
      {{"--timeout", "5", "DEMO:", "n"}, false, false, false, 5, 3},
      {{"--timeout=12", "--no-clipboard", "/dev/ttyUSB0"}, true, false, false, 12, 3},
      {{"--version"}, false, false, true, 0, 2},
      {{"-h"}, false, true, false, 0, 2},
      {{"/?", "DEMO:"}, false, true, false, 0, 2},
      {{"--help", "DEMO:"}, false, true, false, 0, 2},
      {{"--", "--timeout", "5"}, false, false, false, 0, 2},  // a port named --timeout
      {{"--no-clipboard", "--", "-odd"}, true, false, false, 0, 3},
      {{"", "n", "1"}, false, false, false, 0, 1},  // an empty port word
      {{"-"}, false, false, false, 0, 1},
      {{"DEMO:", "--timeout", "5"}, false, false, false, 0, 1},  // options come first
  };
  for (const Accepted& c : cases) {
    const Read read = ReadWords(c.words);
    const std::string line = c.words.empty() ? "(none)" : c.words[0] + " ...";
    EXPECT_TRUE(read.ok) << line << ": " << read.error;
    EXPECT_EQ(read.options.noClipboard, c.noClipboard) << line;
    EXPECT_EQ(read.options.help, c.help) << line;
    EXPECT_EQ(read.options.version, c.version) << line;
    EXPECT_EQ(read.options.timeoutSeconds, c.timeout) << line;
    EXPECT_EQ(read.next, c.next) << line;
  }
}

TEST(QuarvelOptions, RefusedLinesSayWhy) {
  const struct {
    std::vector<std::string> words;
    std::string error;
  } cases[] = {
      {{"--frobnicate", "DEMO:"}, "unknown option '--frobnicate'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--timeout"}, "option '--timeout' needs a value"},
      {{"--timeout", "soon"}, "option '--timeout': malformed value 'soon'"},
      {{"--timeout", "5s"}, "option '--timeout': malformed value '5s'"},
      {{"--timeout", "-5"}, "option '--timeout': malformed value '-5'"},
      {{"--timeout", "0"}, "option '--timeout': malformed value '0'"},
      {{"--timeout", " 5"}, "option '--timeout': malformed value ' 5'"},
      {{"--timeout=", "5"}, "option '--timeout': malformed value ''"},
      {{"--timeout", "99999999999"}, "option '--timeout': malformed value '99999999999'"},
      {{"--no-clipboard=1"}, "option '--no-clipboard' takes no value"},
      {{"--format", "wgs84", "DEMO:"},
       "option '--format': malformed value 'wgs84'; the formats are "
       "ddm, url, dd, dms, utm, mgrs, plus, geo, osm, json"},
      {{"--format="},
       "option '--format': malformed value ''; the formats are "
       "ddm, url, dd, dms, utm, mgrs, plus, geo, osm, json"},
      {{"--map-host", "http://example.org"},
       "option '--map-host': malformed value 'http://example.org'"},
      {{"--map-host="}, "option '--map-host': malformed value ''"},
  };
  for (const auto& c : cases) {
    const Read read = ReadWords(c.words);
    EXPECT_FALSE(read.ok) << c.words[0];
    EXPECT_EQ(read.error, c.error) << c.words[0];
  }
}

TEST(QuarvelOptions, GatesTakeTheirValuesAndRefuseMalformedOnes) {
  const struct {
    std::vector<std::string> words;
    double maxHdop;
    int minSatellites;
    double accuracy;
    int average;
  } accepted[] = {
      {{"DEMO:"}, 0, 0, 0, 0},
      {{"--max-hdop", "2", "--min-satellites", "6", "DEMO:"}, 2, 6, 0, 0},
      {{"--max-hdop=0.8", "--accuracy", "4.5", "--average=10", "DEMO:"}, 0.8, 0, 4.5, 10},
  };
  for (const auto& c : accepted) {
    const Read read = ReadWords(c.words);
    EXPECT_TRUE(read.ok) << c.words[0] << ": " << read.error;
    const FixGates& g = read.options.gates;
    EXPECT_EQ(g.maxHdop, c.maxHdop) << c.words[0];
    EXPECT_EQ(g.minSatellites, c.minSatellites) << c.words[0];
    EXPECT_EQ(g.accuracy, c.accuracy) << c.words[0];
    EXPECT_EQ(g.averageSeconds, c.average) << c.words[0];
    EXPECT_EQ(g.Any(), c.words.size() > 1) << c.words[0];
  }
  // Each as NAME=VALUE: the error names both.
  for (const std::string word : {"--max-hdop=0", "--max-hdop=-1", "--max-hdop=2.", "--max-hdop=1e2",
                                 "--max-hdop=nan", "--min-satellites=4.5", "--min-satellites=256",
                                 "--accuracy=5m", "--accuracy=.5", "--average=0"}) {
    const std::size_t equals = word.find('=');
    EXPECT_EQ(ReadWords({word}).error, "option '" + word.substr(0, equals) +
                                           "': malformed value '" + word.substr(equals + 1) + "'");
  }
}

TEST(QuarvelOptions, UsageNamesEveryOptionAndExitStatus) {
  const std::string usage = QuarvelUsage();
  for (const char* part :
       {"--no-clipboard", "--timeout SECONDS", "--max-hdop H", "--min-satellites N",
        "--accuracy METRES", "--average SECONDS", "--version", "-h, --help, /?", "--format NAME",
        "ddm, url, dd, dms, utm, mgrs, plus, geo, osm or json", "--map-host HOST",
        "HOST[:PORT][/PATH]", "/dev/serial/by-id/", " 4 no position", " 64 the command"}) {
    EXPECT_NE(usage.find(part), std::string::npos) << part;
  }
}

}  // namespace

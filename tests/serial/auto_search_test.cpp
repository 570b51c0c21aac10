// "auto:" on real pseudo-terminals behind a folder of device names: who is tried, who wins.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "locator/reader/auto_search.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

const std::string kFix =
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
    "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const std::string kUbx(
    "\xb5\x62\x01\x03\x10\x00\x98\x4d\x02\x00\x03\xdd\x00\x08"
    "\x44\x0b\x00\x00\xa6\x8d\x0a\x00\x6f\x37",
    24);

std::u16string Utf16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

struct Talker {
  uint32_t speed;      // 0: noise at every speed
  std::string stream;  // empty: silent
  bool held;           // another program holds the port
};

// A machine whose ports are ttyUSB0, ttyUSB1, ... leading to the receivers' terminals.
struct Machine {
  explicit Machine(const std::vector<Talker>& talkers) {
    char pattern[] = "/tmp/quarvel-auto-XXXXXX";
    root = mkdtemp(pattern);
    for (std::size_t i = 0; i < talkers.size(); ++i) {
      receivers.push_back(std::make_unique<SpeedReceiver>(talkers[i].speed, talkers[i].stream));
      const std::string link = root + "/ttyUSB" + std::to_string(i);
      std::filesystem::create_symlink(receivers.back()->Line().Path(), link);
      if (talkers[i].held) held.push_back(OpenSerialPort(receivers.back()->Line().Name().c_str()));
    }
    setenv("QUARVEL_DEVICE_DIR", root.c_str(), 1);
  }
  ~Machine() {
    unsetenv("QUARVEL_DEVICE_DIR");
    for (SerialPortHandle port : held) CloseSerialPort(port);
    std::filesystem::remove_all(root);
  }
  std::string root;
  std::vector<std::unique_ptr<SpeedReceiver>> receivers;
  std::vector<SerialPortHandle> held;
};

TEST(AutoSearch, TriesEveryFreePortAndTheFirstToSpeakWins) {
  const struct {
    const char* what;
    std::vector<Talker> talkers;
    std::size_t tried;
    int winner;  // index of the port that wins, -1 for none
    BinaryProtocol binary;
  } cases[] = {
      {"silent, noise, NMEA at 38400",
       {{0, "", false}, {0, kFix, false}, {38400, kFix, false}},
       3,
       2,
       BinaryProtocol::None},
      {"none speaking",
       {{0, "", false}, {0, "", false}, {0, kFix, false}},
       3,
       -1,
       BinaryProtocol::None},
      {"a held port is skipped", {{9600, kFix, true}, {0, "", false}}, 1, -1, BinaryProtocol::None},
      {"binary named, NMEA still wins",
       {{4800, kUbx, false}, {9600, kFix, false}},
       2,
       1,
       BinaryProtocol::Ubx},
      {"no port at all", {}, 0, -1, BinaryProtocol::None},
  };
  for (const auto& c : cases) {
    Machine machine(c.talkers);
    AutoSearch* search = StartAutoSearch();
    EXPECT_EQ(ReportAutoSearch(search).portsTried, c.tried) << c.what;
    AutoWinner winner;
    bool won = false;
    AutoReport seen;  // the first report that named a binary protocol
    const auto patience = c.winner < 0 ? 3s : 30s;
    for (auto end = std::chrono::steady_clock::now() + patience;
         !won && std::chrono::steady_clock::now() < end;) {
      const AutoReport report = ReportAutoSearch(search);
      if (seen.binary == BinaryProtocol::None) seen = report;
      won = AwaitAutoWinner(search, 200ms, &winner);
    }
    EXPECT_EQ(seen.binary, c.binary) << c.what;
    if (c.binary != BinaryProtocol::None) {
      EXPECT_EQ(seen.binaryPort, Utf16(machine.root + "/ttyUSB0")) << c.what;
    }
    ASSERT_EQ(won, c.winner >= 0) << c.what;
    if (won) {
      const std::string name(winner.name.begin(), winner.name.end());
      EXPECT_EQ(name, machine.root + "/ttyUSB" + std::to_string(c.winner)) << c.what;
      EXPECT_EQ(winner.line.watch.hunt.speed, c.talkers[std::size_t(c.winner)].speed) << c.what;
      EXPECT_NE(winner.firstBytes.find("$GP"), std::string::npos) << c.what << ": the winning read";
      for (std::size_t i = 0; i < machine.receivers.size(); ++i) {
        if (int(i) == c.winner || c.talkers[i].held) continue;
        SerialPortHandle again = OpenSerialPort(machine.receivers[i]->Line().Name().c_str());
        EXPECT_NE(again, kInvalidSerialPort) << c.what << ": port " << i << " was not closed";
        CloseSerialPort(again);
      }
      CloseSerialPort(winner.line.port);
    }
    CloseAutoSearch(search);
    for (const auto& receiver : machine.receivers) {
      EXPECT_EQ(receiver->Line().ReadBack(0ms), "") << c.what << ": written to a port";
    }
  }
}

TEST(AutoSearch, AWakeEndsTheWaitAtOnce) {
  Machine machine({{0, "", false}});
  AutoSearch* search = StartAutoSearch();
  WakeAutoSearch(search);
  AutoWinner winner;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(AwaitAutoWinner(search, 10s, &winner));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  CloseAutoSearch(search);
}

}  // namespace

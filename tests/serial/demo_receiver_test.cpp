// The simulated receiver: its sentences second by second, and a real-time run through the reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <thread>
#include <vector>

#include "locator/reader/demo_receiver.h"
#include "locator/reader/gps_reader.h"
#include "nmea/framer.h"
#include "nmea/parser.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

constexpr int64_t kNovember14th2023 = 1700000000;  // 22:13:20 UTC

std::vector<std::string> Lines(uint32_t second, int64_t utc) {
  char burst[kDemoBurstCapacity];
  const std::size_t length = BuildDemoBurst(second, utc, burst);
  std::vector<std::string> lines;
  std::istringstream in(std::string(burst, length));
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line);
  return lines;
}

// Each line: "$" body "*" two hex digits of the XOR of the body, then CR.
std::string ChecksumProblem(const std::string& line) {
  const std::size_t star = line.find('*');
  if (line.empty() || line[0] != '$' || star == std::string::npos || star + 4 != line.size() ||
      line.back() != '\r') {
    return "malformed: " + line;
  }
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
  char expected[3];
  std::snprintf(expected, sizeof expected, "%02X", sum);
  return line.compare(star + 1, 2, expected) == 0
             ? ""
             : "checksum should be " + std::string(expected) + ": " + line;
}

TEST(DemoReceiver, EachSecondIsAFullCycleWithGoodChecksums) {
  const char* kOrder[] = {"$GPGGA", "$GPGSA", "$GPGSV", "$GPGSV",
                          "$GPGSV", "$GPRMC", "$GPVTG", "$GPZDA"};
  for (uint32_t second : {0u, 1u, 2u, 3u, 4u, 100u, 86400u}) {
    const std::vector<std::string> lines = Lines(second, kNovember14th2023 + second);
    ASSERT_EQ(lines.size(), 8u) << "second " << second;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].substr(0, 6), kOrder[i]) << "second " << second << " line " << i;
      EXPECT_EQ(ChecksumProblem(lines[i]), "") << "second " << second;
      EXPECT_LE(lines[i].size() + 1, 82u) << lines[i];
      bytes += lines[i].size() + 1;
    }
    EXPECT_LE(bytes, 480u) << "more than a 4800-baud line carries in a second, second " << second;
  }
}

TEST(DemoReceiver, TimeAndDateFollowTheClock) {
  const struct {
    uint32_t second;
    int64_t utc;
    std::string gga, zda;
  } cases[] = {
      {0, kNovember14th2023, "$GPGGA,221320.00,", "$GPZDA,221320.00,14,11,2023,00,00*"},
      {5, kNovember14th2023 + 5, "$GPGGA,221325.00,", "$GPZDA,221325.00,14,11,2023,00,00*"},
      {7, 951868799, "$GPGGA,235959.00,", "$GPZDA,235959.00,29,02,2000,00,00*"},
      {8, 951868800, "$GPGGA,000000.00,", "$GPZDA,000000.00,01,03,2000,00,00*"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> lines = Lines(c.second, c.utc);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].substr(0, c.gga.size()), c.gga) << "utc " << c.utc;
    EXPECT_EQ(lines[7].substr(0, c.zda.size()), c.zda) << "utc " << c.utc;
  }
}

void FeedToParser(const char* bytes, std::size_t length) {
  NmeaFramer framer;
  char read[kGpsReadSize + 1] = {};
  ASSERT_LE(length, kGpsReadSize);
  std::memcpy(read, bytes, length);
  FrameNmeaRead(
      framer, read, [](const char* sentence, void*) { ParseNmeaSentence(sentence); }, nullptr);
}

TEST(DemoReceiver, NoFixForTheFirstSecondsThenAFixThatStaysNearItsPlace) {
  ResetGpsState();
  for (uint32_t second = 0; second < 20; ++second) {
    char burst[kDemoBurstCapacity];
    FeedToParser(burst, BuildDemoBurst(second, kNovember14th2023 + second, burst));
    double latitude = 0, longitude = 0;
    uint8_t valid = 0;
    GetGpsFix(&latitude, &longitude, &valid);
    if (second < kDemoNoFixSeconds) {
      EXPECT_EQ(latitude, 0.0) << "second " << second;
      EXPECT_EQ(longitude, 0.0) << "second " << second;
      EXPECT_EQ(valid, 0) << "second " << second;
    } else {
      EXPECT_NEAR(latitude, kDemoLatitude, kDemoJitterDegrees) << "second " << second;
      EXPECT_NEAR(longitude, kDemoLongitude, kDemoJitterDegrees) << "second " << second;
      EXPECT_EQ(valid, 1) << "second " << second;
    }
  }
}

TEST(DemoReceiver, ThePositionJitters) {
  std::vector<std::string> positions;
  for (uint32_t second = 3; second < 13; ++second) {
    positions.push_back(Lines(second, kNovember14th2023).at(0).substr(17, 30));
  }
  std::sort(positions.begin(), positions.end());
  EXPECT_GT(std::unique(positions.begin(), positions.end()) - positions.begin(), 3);
}

TEST(DemoReceiver, WakeReleasesAWaitingRead) {
  DemoReceiver* receiver = OpenDemoReceiver();
  char buffer[kGpsReadSize];
  EXPECT_GT(ReadDemoReceiver(receiver, buffer, sizeof buffer), 0u)
      << "the first burst comes at once";
  std::atomic<int> result{-1};
  std::thread reader([&] { result = int(ReadDemoReceiver(receiver, buffer, sizeof buffer)); });
  WakeDemoReceiver(receiver);
  EXPECT_TRUE(WaitFor([&] { return result != -1; }, 5s));
  reader.join();
  EXPECT_EQ(result, 0);
  CloseDemoReceiver(receiver);
}

TEST(DemoReceiver, ThroughTheReaderAFixComesAfterAFewSeconds) {
  ResetGpsState();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(StartGpsReader(u"DEMO:", 4800));
  double latitude = 0;
  EXPECT_TRUE(WaitFor(
      [&] {
        GetGpsFix(&latitude, nullptr, nullptr);
        return latitude != 0;
      },
      20s));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::seconds(kDemoNoFixSeconds) - 100ms) << "the fix came too early";
  EXPECT_NEAR(latitude, kDemoLatitude, kDemoJitterDegrees);
  StopGpsReader();
  EXPECT_TRUE(WaitGpsReaderStopped(10s));
}

}  // namespace

// The reader on network sources over loopback: what the wait says, datagrams never joined, a start given up.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "common/utf8.h"
#include "nmea/parser.h"
#include "locator/reader/gps_reader.h"
#include "platform/model/dialog_model.h"
#include "serial/loopback.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

constexpr char kFixGga[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
constexpr char kRmc[] = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

double Latitude() {
  double latitude = 0;
  GetGpsFix(&latitude, nullptr, nullptr);
  return latitude;
}

std::string Wait() { return utf8::Utf16ToUtf8(DescribeGpsReaderWait()); }

class NetworkReaderTest : public testing::Test {
 protected:
  void SetUp() override { ResetGpsState(); }
  void TearDown() override {
    StopGpsReader();
    EXPECT_TRUE(WaitGpsReaderStopped(10s)) << "the reader thread did not end";
  }
  MessageBoxRecorder boxes_;
};

TEST_F(NetworkReaderTest, TheWaitSaysWhereItReadsAndWhenTheConnectionIsMadeAgain) {
  auto listener = std::make_unique<LoopbackListener>();
  const std::string place = "127.0.0.1:" + std::to_string(listener->Port());
  ASSERT_TRUE(StartGpsReader(utf8::Utf8ToUtf16("tcp:" + place).c_str(), 4800));
  const int peer = listener->Accept();
  ASSERT_GE(peer, 0);
  EXPECT_EQ(Wait(), "connected to " + place + ", no sentence yet");
  ASSERT_EQ(write(peer, kFixGga, sizeof kFixGga - 1), ssize_t(sizeof kFixGga - 1));
  ASSERT_TRUE(WaitFor([] { return Latitude() != 0; }, 10s)) << "no position came";
  EXPECT_EQ(Wait(), "no fix yet") << "once sentences come, they say why the wait goes on";
  listener.reset();
  close(peer);
  const std::string refused = place + ": connection refused, trying again";
  EXPECT_TRUE(WaitFor([&] { return Wait() == refused; }, 10s)) << Wait();
  EXPECT_TRUE(boxes_.Boxes().empty()) << "a lost connection is no port failure";
}

TEST_F(NetworkReaderTest, HalfASentenceAtTheEndOfADatagramIsNotCompletedByTheNext) {
  const uint16_t port = FreeLoopbackPort(SOCK_DGRAM);
  ASSERT_TRUE(StartGpsReader(utf8::Utf8ToUtf16("udp:" + std::to_string(port)).c_str(), 4800));
  EXPECT_EQ(Wait(), "listening on UDP port " + std::to_string(port) + ", no sentence yet");
  // A full read's worth ending inside a GGA, then its rest: from two senders, they
  // are no sentence.
  const std::string gga = kFixGga;
  const std::string head = std::string(512 - 30, ' ') + gga.substr(0, 30);
  SendDatagram(AF_INET, port, head);
  SendDatagram(AF_INET, port, gga.substr(30));
  SendDatagram(AF_INET, port, kRmc);  // comes after both: its mark says they were read
  ASSERT_TRUE(WaitFor([] { return CopyGpsState().rmc.tag[0] != '\0'; }, 10s));
  EXPECT_EQ(CopyGpsState().gga.latitude, 0.0) << "a GGA was made of two datagrams";
  SendDatagram(AF_INET, port, gga + kRmc);
  EXPECT_TRUE(WaitFor([] { return Latitude() != 0; }, 10s)) << "a whole datagram's GGA";
}

TEST_F(NetworkReaderTest, AStartWhoseConnectNobodyAnswersIsGivenUpWithoutAWord) {
  FullBacklog silent;
  const std::u16string name = utf8::Utf8ToUtf16("tcp:127.0.0.1:" + std::to_string(silent.Port()));
  const auto start = std::chrono::steady_clock::now();
  std::atomic<bool> stop{false};
  std::thread presser([&] {
    std::this_thread::sleep_for(200ms);
    stop = true;
  });
  EXPECT_FALSE(StartGpsReader(name.c_str(), 4800, [&] { return stop.load(); }));
  presser.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the start waited for the connect";
  EXPECT_TRUE(boxes_.Boxes().empty()) << "a start given up tells nobody anything";
  EXPECT_TRUE(WaitGpsReaderStopped(5s)) << "the abandoned connect was not cut short";
}

}  // namespace

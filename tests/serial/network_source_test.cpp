// The network sources on loopback: a TCP peer, gpsd's JSON among its NMEA, UDP datagrams cut into reads, reasons in words.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "common/utf8.h"
#include "locator/reader/network_source.h"
#include "serial/loopback.h"

namespace {

using namespace std::chrono_literals;

struct Source {
  explicit Source(const std::string& text) {
    std::string problem;
    const std::u16string name = utf8::Utf8ToUtf16(text);
    EXPECT_TRUE(ParseNetworkName(name, parsed, problem)) << text << ": " << problem;
    handle = NewNetworkSource(parsed);
  }
  ~Source() { CloseNetworkSource(handle); }
  NetworkName parsed;
  NetworkSource* handle = nullptr;
};

struct Read {
  std::string bytes;
  bool fresh = false;
};

Read ReadOnce(NetworkSource* source, std::size_t capacity = 512) {
  std::string buffer(capacity, '\0');
  Read read;
  buffer.resize(ReadNetworkSource(source, buffer.data(), capacity));
  read.bytes = buffer;
  read.fresh = NetworkReadBeganAfresh(source);
  return read;
}

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

std::string Place(uint16_t port) { return "127.0.0.1:" + std::to_string(port); }

TEST(NetworkSource, TcpReadsThePeerAndConnectsAgainAfterItLeft) {
  auto listener = std::make_unique<LoopbackListener>();
  const uint16_t port = listener->Port();
  Source source("tcp:" + Place(port));
  std::string problem;
  ASSERT_TRUE(OpenNetworkSource(source.handle, problem)) << problem;
  EXPECT_EQ(DescribeNetworkSource(source.handle), "connected to " + Place(port));
  for (int connection = 0; connection < 2; ++connection) {
    // The second connection is made inside the read that found the first one gone.
    auto first = std::async(std::launch::async, [&] { return ReadOnce(source.handle); });
    const int peer = listener->Accept();
    ASSERT_GE(peer, 0) << "connection " << connection;
    ASSERT_EQ(write(peer, "$GPGGA,1*00\r\n", 13), 13);
    const Read read = first.get();
    EXPECT_EQ(read.bytes, "$GPGGA,1*00\r\n");
    EXPECT_TRUE(read.fresh) << "connection " << connection << " begins afresh";
    ASSERT_EQ(write(peer, "$GPRMC,2*00\r\n", 13), 13);
    EXPECT_FALSE(ReadOnce(source.handle).fresh) << "the same connection goes on";
    EXPECT_EQ(NetworkSourceTrouble(source.handle), "");
    close(peer);
  }
  // Gone for good: each try is refused, and the wait detail says so until a stop.
  listener.reset();
  auto pending = std::async(std::launch::async, [&] { return ReadOnce(source.handle).bytes; });
  const std::string refused = Place(port) + ": connection refused, trying again";
  EXPECT_TRUE(WaitFor([&] { return NetworkSourceTrouble(source.handle) == refused; }))
      << NetworkSourceTrouble(source.handle);
  WakeNetworkSource(source.handle);
  ASSERT_EQ(pending.wait_for(5s), std::future_status::ready) << "the wake did not end the tries";
  EXPECT_EQ(pending.get(), "");
}

TEST(NetworkSource, FailuresNameThePlaceAndTheReason) {
  const uint16_t closed = FreeLoopbackPort(SOCK_STREAM);
  const struct {
    std::string text, problem;
  } cases[] = {
      {"tcp:" + Place(closed), Place(closed) + ": connection refused"},
      {"gpsd:" + std::to_string(closed),
       "gpsd at " + Place(closed) + ": connection refused (is gpsd running?)"},
      {"tcp:quarvel-no-such-host.invalid:10110",
       "quarvel-no-such-host.invalid:10110: no such host"},
      {"gpsd:quarvel-no-such-host.invalid",
       "gpsd at quarvel-no-such-host.invalid:2947: no such host"},
  };
  for (const auto& c : cases) {
    Source source(c.text);
    std::string problem;
    EXPECT_FALSE(OpenNetworkSource(source.handle, problem)) << c.text;
    EXPECT_EQ(problem, c.problem) << c.text;
  }
}

TEST(NetworkSource, AWakeEndsAConnectNobodyAnswersWithoutAReason) {
  FullBacklog silent;
  Source source("tcp:" + Place(silent.Port()));
  auto open = std::async(std::launch::async, [&] {
    std::string problem = "unchanged";
    const bool opened = OpenNetworkSource(source.handle, problem);
    return opened ? std::string("opened") : problem;
  });
  std::this_thread::sleep_for(100ms);
  WakeNetworkSource(source.handle);
  ASSERT_EQ(open.wait_for(5s), std::future_status::ready) << "the wake did not end the connect";
  EXPECT_EQ(open.get(), "") << "a stopped connect tells nobody anything";
}

TEST(NetworkSource, GpsdIsAskedForNmeaAndItsJsonIsDropped) {
  LoopbackListener listener;
  Source source("gpsd:127.0.0.1:" + std::to_string(listener.Port()));
  std::string problem;
  ASSERT_TRUE(OpenNetworkSource(source.handle, problem)) << problem;
  EXPECT_EQ(DescribeNetworkSource(source.handle), "connected to gpsd at " + Place(listener.Port()));
  const int peer = listener.Accept();
  char request[128] = {};
  pollfd watched{peer, POLLIN, 0};
  ASSERT_EQ(poll(&watched, 1, 5000), 1);
  ASSERT_GT(read(peer, request, sizeof request - 1), 0);
  EXPECT_STREQ(request, "?WATCH={\"enable\":true,\"nmea\":true}\n");
  const std::string reply =
      "{\"class\":\"VERSION\",\"release\":\"3.22\"}\n{\"class\":\"DEVICES\",\"devices\":[]}\n"
      "$GPGGA,1*00\r\n{\"class\":\"TPV\",\"x\":\"$*\"}\n$GPRMC,2*00\r\n";
  ASSERT_EQ(write(peer, reply.data(), reply.size()), ssize_t(reply.size()));
  EXPECT_EQ(ReadOnce(source.handle).bytes, "$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
  close(peer);
}

TEST(NetworkSource, DatagramsOfOneAndOfSeveralSentencesEachBeginAfresh) {
  const uint16_t port = FreeLoopbackPort(SOCK_DGRAM);
  Source source("udp:" + std::to_string(port));
  std::string problem;
  ASSERT_TRUE(OpenNetworkSource(source.handle, problem)) << problem;
  EXPECT_EQ(DescribeNetworkSource(source.handle), "listening on UDP port " + std::to_string(port));
  std::string big;
  while (big.size() < 1100) big += "$GPGSV,3,1,12,01,40,083,46,02,17,308,41*70\r\n";
  SendDatagram(AF_INET, port, "$GPGGA,1*00\r\n");
  SendDatagram(AF_INET, port, "$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
  SendDatagram(AF_INET, port, big);
  const struct {
    std::string bytes;
    bool fresh;
  } expected[] = {
      {"$GPGGA,1*00\r\n", true},  {"$GPGGA,1*00\r\n$GPRMC,2*00\r\n", true},
      {big.substr(0, 512), true}, {big.substr(512, 512), false},
      {big.substr(1024), false},
  };
  for (const auto& e : expected) {
    const Read read = ReadOnce(source.handle);
    EXPECT_EQ(read.bytes, e.bytes);
    EXPECT_EQ(read.fresh, e.fresh) << "read of " << e.bytes.size() << " bytes";
  }
  auto pending = std::async(std::launch::async, [&] { return ReadOnce(source.handle).bytes; });
  std::this_thread::sleep_for(50ms);
  WakeNetworkSource(source.handle);
  ASSERT_EQ(pending.wait_for(5s), std::future_status::ready) << "the wake did not end the read";
  EXPECT_EQ(pending.get(), "");
}

}  // namespace

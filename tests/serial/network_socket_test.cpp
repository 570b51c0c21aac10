// The Linux network layer on real loopback sockets: connect, refusal, unknown hosts, waits a stop ends, datagrams.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <string>
#include <thread>

#include "platform/network.h"
#include "serial/loopback.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Socket {
  Socket() : handle(NewNetSocket()) {}
  ~Socket() { CloseNetSocket(handle); }
  NetSocketHandle handle;
};

std::string ReadOnce(NetSocketHandle socket, std::size_t capacity = 512) {
  std::string buffer(capacity, '\0');
  const std::ptrdiff_t count = ReadNetSocket(socket, buffer.data(), capacity);
  return count < 0 ? "<gone>" : buffer.substr(0, std::size_t(count));
}

TEST(NetSocket, ConnectsByAddressAndByName) {
  for (const char* host : {"127.0.0.1", "localhost"}) {
    LoopbackListener listener;
    Socket socket;
    NetProblem problem;
    ASSERT_TRUE(ConnectNetSocket(socket.handle, host, listener.Port(), 5s, problem))
        << host << ": " << DescribeNetProblem(problem);
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0);
    ASSERT_EQ(write(peer, "$GPGGA,1*00\r\n", 13), 13);
    EXPECT_EQ(ReadOnce(socket.handle), "$GPGGA,1*00\r\n") << host;
    close(peer);
    EXPECT_EQ(ReadOnce(socket.handle), "<gone>") << host << ": the peer closed";
  }
}

TEST(NetSocket, ConnectsToIpv6Loopback) {
  LoopbackListener listener(AF_INET6);
  if (listener.Port() == 0) GTEST_SKIP() << "no IPv6 loopback here";
  Socket socket;
  NetProblem problem;
  EXPECT_TRUE(ConnectNetSocket(socket.handle, "::1", listener.Port(), 5s, problem))
      << DescribeNetProblem(problem);
}

TEST(NetSocket, FailuresInWords) {
  const uint16_t closedPort = FreeLoopbackPort(SOCK_STREAM);
  const struct {
    const char* host;
    uint16_t port;
    const char* words;
  } cases[] = {
      {"127.0.0.1", closedPort, "connection refused"},
      {"quarvel-no-such-host.invalid", 10110, "no such host"},
  };
  for (const auto& c : cases) {
    Socket socket;
    NetProblem problem;
    EXPECT_FALSE(ConnectNetSocket(socket.handle, c.host, c.port, 5s, problem)) << c.host;
    EXPECT_EQ(DescribeNetProblem(problem), c.words) << c.host << ":" << c.port;
  }
}

TEST(NetSocket, AConnectNobodyAnswersEndsAtItsTimeOutOrAtOnceWhenWoken) {
  FullBacklog silent;  // its SYNs go unanswered
  for (const bool wake : {false, true}) {
    Socket socket;
    NetProblem problem;
    std::thread waker;
    if (wake) {
      waker = std::thread([&] {
        std::this_thread::sleep_for(100ms);
        WakeNetSocket(socket.handle);
      });
    }
    const auto start = Clock::now();
    EXPECT_FALSE(
        ConnectNetSocket(socket.handle, "127.0.0.1", silent.Port(), wake ? 30s : 300ms, problem));
    const auto took = Clock::now() - start;
    if (waker.joinable()) waker.join();
    EXPECT_EQ(problem.failure, wake ? NetFailure::Stopped : NetFailure::TimedOut)
        << DescribeNetProblem(problem);
    EXPECT_LT(took, 10s) << (wake ? "the wake did not end the connect" : "the time-out did not");
  }
}

TEST(NetSocket, AWakeEndsAReadFromASilentPeerAndEveryLaterOne) {
  LoopbackListener listener;
  Socket socket;
  NetProblem problem;
  ASSERT_TRUE(ConnectNetSocket(socket.handle, "127.0.0.1", listener.Port(), 5s, problem));
  const int peer = listener.Accept();
  auto read = std::async(std::launch::async, [&] { return ReadOnce(socket.handle); });
  std::this_thread::sleep_for(100ms);
  WakeNetSocket(socket.handle);
  ASSERT_EQ(read.wait_for(10s), std::future_status::ready) << "the wake did not end the read";
  EXPECT_EQ(read.get(), "");
  EXPECT_EQ(ReadOnce(socket.handle), "") << "a read after the wake must return at once";
  close(peer);
}

TEST(NetSocket, AStreamReadGathersABurstAndStopsAtItsCapacity) {
  LoopbackListener listener;
  Socket socket;
  NetProblem problem;
  ASSERT_TRUE(ConnectNetSocket(socket.handle, "127.0.0.1", listener.Port(), 5s, problem));
  const int peer = listener.Accept();
  ASSERT_EQ(write(peer, "$GPGGA,", 7), 7);
  std::this_thread::sleep_for(10ms);
  ASSERT_EQ(write(peer, "1*00\r\n", 6), 6);
  EXPECT_EQ(ReadOnce(socket.handle), "$GPGGA,1*00\r\n") << "a burst's pieces come in one read";
  const std::string noise(2000, 'x');
  ASSERT_EQ(write(peer, noise.data(), noise.size()), ssize_t(noise.size()));
  EXPECT_EQ(ReadOnce(socket.handle, 512).size(), 512u);
  close(peer);
}

TEST(NetSocket, DatagramsOneAtATimeFromAnySender) {
  Socket socket;
  NetProblem problem;
  const uint16_t port = FreeLoopbackPort(SOCK_DGRAM);
  ASSERT_TRUE(BindNetSocket(socket.handle, "", port, problem)) << DescribeNetProblem(problem);
  const std::string twoLines = "$GPGGA,1*00\r\n$GPRMC,2*00\r\n";
  const std::string longOne(3000, 'y');
  SendDatagram(AF_INET, port, "$GPGGA,1*00\r\n");
  SendDatagram(AF_INET, port, twoLines);
  SendDatagram(AF_INET6, port, "$GPVTG,3*00\r\n");  // IPv6 senders too, where there are any
  SendDatagram(AF_INET, port, longOne);
  EXPECT_EQ(ReadOnce(socket.handle), "$GPGGA,1*00\r\n");
  EXPECT_EQ(ReadOnce(socket.handle), twoLines) << "one datagram, one read";
  if (Ipv6LoopbackWorks()) {
    EXPECT_EQ(ReadOnce(socket.handle), "$GPVTG,3*00\r\n");
  }
  EXPECT_EQ(ReadOnce(socket.handle, 1024), longOne.substr(0, 1024)) << "a long datagram is cut";
  auto read = std::async(std::launch::async, [&] { return ReadOnce(socket.handle); });
  std::this_thread::sleep_for(50ms);
  WakeNetSocket(socket.handle);
  ASSERT_EQ(read.wait_for(10s), std::future_status::ready) << "the wake did not end the read";
  EXPECT_EQ(read.get(), "");
}

TEST(NetSocket, BindFailuresInWords) {
  Socket first;
  NetProblem problem;
  const uint16_t port = FreeLoopbackPort(SOCK_DGRAM);
  ASSERT_TRUE(BindNetSocket(first.handle, "127.0.0.1", port, problem));
  const struct {
    const char* address;
    const char* words;
  } cases[] = {
      {"127.0.0.1", "the port is in use by another program"},
      {"192.0.2.1", "not an address of this machine"},
      {"quarvel-no-such-host.invalid", "no such host"},
  };
  for (const auto& c : cases) {
    Socket socket;
    EXPECT_FALSE(BindNetSocket(socket.handle, c.address, port, problem)) << c.address;
    EXPECT_EQ(DescribeNetProblem(problem), c.words) << c.address;
  }
}

}  // namespace

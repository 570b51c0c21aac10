// "gpsd:" against a real gpsd that gpsfake feeds from a log on a private port.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "locator/reader/gps_reader.h"
#include "nmea/parser.h"
#include "platform/model/dialog_model.h"
#include "platform/serial_port.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

bool Installed(const char* program) {
  const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// A loopback port that nothing listens on right now.
int FreeTcpPort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(probe);
  return port;
}

// gpsfake with its own gpsd, ended (with its process group) when the test ends.
class GpsFake {
 public:
  GpsFake(const std::string& log, int tcpPort) {
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      const std::string port = std::to_string(tcpPort);
      execlp("gpsfake", "gpsfake", "-q", "-P", port.c_str(), log.c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~GpsFake() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    const bool ended = WaitFor([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 5s);
    if (!ended) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  pid_t pid_ = -1;
};

TEST(Gpsd, NmeaRelayedByGpsdReachesTheGpsState) {
  if (!Installed("gpsfake") || !Installed("gpsd")) GTEST_SKIP() << "gpsd or gpsfake not installed";
  const std::string log = testing::TempDir() + "quarvel-gpsd-" + std::to_string(getpid()) + ".nmea";
  {
    std::ofstream out(log, std::ios::binary);
    for (int i = 0; i < 200; ++i) {
      out << "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
             "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    }
  }
  const int tcpPort = FreeTcpPort();
  ASSERT_NE(tcpPort, 0);
  const std::string portText = std::to_string(tcpPort);
  // gpsd has no line speed: a speed suffix is ignored.
  const std::u16string name =
      u"gpsd:" + std::u16string(portText.begin(), portText.end()) + u"@9600";
  ResetGpsState();
  MessageBoxRecorder quiet;  // the starts that find gpsd not yet listening
  {
    GpsFake fake(log, tcpPort);
    // gpsd takes a moment to listen; the first start may find nothing there.
    ASSERT_TRUE(WaitFor([&] { return StartGpsReader(name.c_str(), 4800); }, 30s))
        << "gpsd never accepted the connection";
    double latitude = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
          GetGpsFix(&latitude, nullptr, nullptr);
          return latitude != 0;
        },
        30s))
        << "no position came through gpsd";
    EXPECT_NEAR(latitude, 48 + 7.038 / 60, 1e-9);
    StopGpsReader();
    EXPECT_TRUE(WaitGpsReaderStopped(10s));
  }
  std::remove(log.c_str());
}

TEST(Gpsd, MissingGpsdIsAnOpenError) {
  MessageBoxRecorder recorder;
  EXPECT_FALSE(StartGpsReader(u"gpsd:1", 4800));
  const std::vector<RecordedMessageBox> boxes = recorder.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text == u"Error Opening Comms Port.");
  StopGpsReader();
  EXPECT_TRUE(WaitGpsReaderStopped(10s));
}

}  // namespace

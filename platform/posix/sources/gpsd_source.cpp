// gpsd as a GPS port: a loopback TCP connection that asks gpsd to relay raw NMEA.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/ascii_case.h"
#include "platform/posix/sources/serial_posix.h"

namespace {
constexpr uint16_t kGpsdDefaultPort = 2947;
constexpr char kWatchNmea[] = "?WATCH={\"enable\":true,\"nmea\":true}\n";

bool SendAll(int fd, const char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t sent = send(fd, data, length, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    length -= std::size_t(sent);
  }
  return true;
}
}  // namespace

bool ParseGpsdName(const char16_t* name, uint16_t* tcpPort) {
  if (!StartsWithIgnoringAsciiCase(name, u"gpsd:")) return false;
  const char16_t* digits = name + 5;
  if (*digits == 0) {
    *tcpPort = kGpsdDefaultPort;
    return true;
  }
  uint32_t number = 0;
  for (; *digits >= u'0' && *digits <= u'9' && number <= 65535; ++digits) {
    number = number * 10 + uint32_t(*digits - u'0');
  }
  *tcpPort = (*digits == 0 && number >= 1 && number <= 65535) ? uint16_t(number) : 0;
  return true;
}

int ConnectGpsd(uint16_t tcpPort, std::string* why) {
  if (tcpPort == 0) {
    *why = "gpsd: the TCP port after \"gpsd:\" must be a number from 1 to 65535";
    return -1;
  }
  const std::string where = "gpsd at 127.0.0.1:" + std::to_string(tcpPort);
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *why = where + ": " + std::strerror(errno);
    return -1;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(tcpPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      !SendAll(fd, kWatchNmea, sizeof kWatchNmea - 1) ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
    // ECONNREFUSED: no gpsd listens there (not installed, not started).
    *why = where + ": " +
           (errno == ECONNREFUSED ? "connection refused (is gpsd running?)" : std::strerror(errno));
    close(fd);
    return -1;
  }
  return fd;
}

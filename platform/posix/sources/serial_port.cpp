// The GPS port on Linux: a tty, read with poll() beside an eventfd that a stop signals.
#include "platform/serial_port.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/utf8.h"
#include "platform/posix/sources/serial_posix.h"

namespace {

// A gap this long ends a read: bytes within one receiver burst come closer
// together, and a burst handed on whole is never cut into a dropped
// beginning and an orphaned end.
constexpr int kQuietMilliseconds = 50;

SerialPortHandle WrapDescriptor(int fd) {
  if (fd < 0) return kInvalidSerialPort;
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    CloseTtyDevice(fd);
    return kInvalidSerialPort;
  }
  auto* port = new SerialPort;
  port->fd = fd;
  port->wakeFd = wakeFd;
  return port;
}

enum class Step { Data, Nothing, Gone };

// One read() of what poll() announced.
Step ReadAvailable(SerialPort& port, char* buffer, std::size_t capacity, std::size_t* have) {
  const ssize_t count = read(port.fd, buffer + *have, capacity - *have);
  if (count > 0) {
    *have += std::size_t(count);
    return Step::Data;
  }
  if (count < 0 && (errno == EAGAIN || errno == EINTR)) return Step::Nothing;
  return Step::Gone;  // EIO of a tty whose device went away, or its end of file
}

// A tty device; problem says why not.
SerialPortHandle OpenNamed(const char16_t* name, std::string& problem) {
  const std::string path = SerialDevicePath(name);
  if (path.empty()) {
    problem = "\"" + utf8::Utf16ToUtf8(name) + "\" names no device";
    return kInvalidSerialPort;
  }
  SerialPortHandle port = WrapDescriptor(OpenTtyDevice(path, &problem));
  // A gone pseudo-terminal's number goes to the next terminal opened, whose keys
  // a reopen would read.
  if (port != kInvalidSerialPort) port->mayReturn = !path.starts_with("/dev/pts/");
  return port;
}

}  // namespace

SerialPortHandle OpenSerialPort(const char16_t* name, std::u16string* why) {
  if (!name) return kInvalidSerialPort;
  std::string problem;
  SerialPortHandle port = OpenNamed(name, problem);
  if (why) *why = utf8::Utf8ToUtf16(problem);
  return port;
}

bool SerialPortMayReturn(SerialPortHandle port) {
  return port != kInvalidSerialPort && port->mayReturn;
}

bool SetSerialPortSpeed(SerialPortHandle port, uint32_t baudRate, std::u16string* why) {
  if (port == kInvalidSerialPort) return false;
  if (SetTtySpeed(port->fd, baudRate)) return true;
  if (why) {
    *why = utf8::Utf8ToUtf16("the device refused " + std::to_string(baudRate) + " baud (" +
                             std::strerror(errno) + ")");
  }
  return false;
}

std::ptrdiff_t ReadSerialPort(SerialPortHandle port, char* buffer, std::size_t capacity) {
  return ReadSerialPortWithin(port, buffer, capacity, std::chrono::milliseconds(-1));
}

// A negative wait waits for the first byte without end.
std::ptrdiff_t ReadSerialPortWithin(SerialPortHandle port, char* buffer, std::size_t capacity,
                                    std::chrono::milliseconds wait) {
  if (port == kInvalidSerialPort || port->gone) return kSerialPortGone;
  const int firstWait = wait.count() < 0 ? -1 : int(std::min<int64_t>(wait.count(), INT32_MAX));
  std::size_t have = 0;
  while (have < capacity) {
    pollfd watched[2] = {{port->fd, POLLIN, 0}, {port->wakeFd, POLLIN, 0}};
    const int ready = poll(watched, 2, have == 0 ? firstWait : kQuietMilliseconds);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      port->gone = true;
      break;
    }
    if (ready == 0 || watched[1].revents != 0) break;  // quiet, or woken
    Step step = Step::Gone;
    if (watched[0].revents & POLLIN) step = ReadAvailable(*port, buffer, capacity, &have);
    if (step == Step::Gone) {
      port->gone = true;
      break;
    }
  }
  if (have == 0 && port->gone) return kSerialPortGone;
  return std::ptrdiff_t(have);
}

void DiscardSerialInput(SerialPortHandle port) {
  if (port != kInvalidSerialPort) tcflush(port->fd, TCIFLUSH);
}

void WakeSerialPort(SerialPortHandle port) {
  if (port == kInvalidSerialPort) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(port->wakeFd, &one, sizeof one);
}

void CloseSerialPort(SerialPortHandle port) {
  if (port == kInvalidSerialPort) return;
  CloseTtyDevice(port->fd);
  close(port->wakeFd);
  delete port;
}

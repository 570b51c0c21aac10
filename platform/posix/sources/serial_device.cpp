// Linux tty devices for the GPS port: name to path, exclusive open, raw input at one speed.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/com_port_name.h"
#include "common/utf8.h"
#include "platform/posix/sources/port_problem.h"
#include "platform/posix/sources/serial_posix.h"

namespace {

bool HasParentStep(const std::string& path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (path.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

speed_t SpeedConstant(uint32_t baudRate) {
  struct Entry {
    uint32_t baud;
    speed_t speed;
  };
  static const Entry kSpeeds[] = {
      {50, B50},           {75, B75},           {110, B110},         {134, B134},
      {150, B150},         {200, B200},         {300, B300},         {600, B600},
      {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
      {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
      {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
      {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
      {3500000, B3500000}, {4000000, B4000000}};
  for (const Entry& entry : kSpeeds) {
    if (entry.baud == baudRate) return entry.speed;
  }
  return B0;
}

// Some receivers talk only once DTR is up. Lines without modem control (a
// pseudo-terminal, some adapters) refuse the request, which changes nothing.
void RaiseModemLines(int fd) {
  const int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIS, &lines);
}

}  // namespace

// PARMRK goes too: its marks would put NUL bytes into the data.
void MakeInputRaw(termios& settings) {
  settings.c_iflag &= ~tcflag_t(INLCR | IGNCR | ICRNL | IXON | IXOFF | PARMRK);
  settings.c_oflag &= ~tcflag_t(OPOST);
  settings.c_lflag &=
      ~tcflag_t(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ISIG | IEXTEN);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
}

std::string SerialDevicePath(const char16_t* name) {
  std::string path = utf8::Utf16ToUtf8(name);
  if (path.empty() || HasParentStep(path)) return {};
  if (path[0] == '/') return path;
  if (unsigned number = ComPortNumber(name)) return "/dev/ttyS" + std::to_string(number - 1);
  if (path.back() == ':') path.pop_back();
  if (path.empty()) return {};
  return "/dev/" + path;
}

int OpenTtyDevice(const std::string& path, std::string* why) {
  // Non-blocking: a port without carrier would otherwise hang the open.
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    *why = DescribeOpenError(path, errno);
    return -1;
  }
  termios settings;
  const char* problem = nullptr;
  if (tcgetattr(fd, &settings) != 0) {
    problem = "not a serial device";
  } else if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
    problem = "in use by another program";
  }
  if (problem) {
    *why = path + ": " + problem + " (" + std::strerror(errno) + ")";
    close(fd);
    return -1;
  }
  RaiseModemLines(fd);
  return fd;
}

bool SetTtySpeed(int fd, uint32_t baudRate) {
  const speed_t speed = SpeedConstant(baudRate);
  termios settings;
  if (speed == B0 || tcgetattr(fd, &settings) != 0) return false;
  MakeInputRaw(settings);
  if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) return false;
  if (tcsetattr(fd, TCSANOW, &settings) != 0) return false;
  // tcsetattr succeeds when any part was taken: check that the speed was.
  termios applied;
  return tcgetattr(fd, &applied) == 0 && cfgetispeed(&applied) == speed &&
         cfgetospeed(&applied) == speed;
}

void CloseTtyDevice(int fd) {
  ioctl(fd, TIOCNXCL);
  close(fd);
}

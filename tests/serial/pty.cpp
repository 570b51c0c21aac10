// Pseudo-terminal pairs for the serial tests.
#include "serial/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

Pty::Pty() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  path_ = ptsname(master_);
  slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) throw std::runtime_error("cannot open " + path_);
}

Pty::~Pty() {
  CloseMaster();
  if (slave_ >= 0) close(slave_);
}

void Pty::Write(std::string_view bytes) const {
  while (!bytes.empty()) {
    const ssize_t written = write(master_, bytes.data(), bytes.size());
    if (written <= 0) throw std::runtime_error("write to pty master failed");
    bytes.remove_prefix(std::size_t(written));
  }
}

std::string Pty::ReadBack(std::chrono::milliseconds wait) const {
  std::string back;
  pollfd master = {master_, POLLIN, 0};
  while (poll(&master, 1, int(wait.count())) > 0 && (master.revents & POLLIN)) {
    char buffer[256];
    const ssize_t count = read(master_, buffer, sizeof buffer);
    if (count <= 0) break;
    back.append(buffer, std::size_t(count));
  }
  return back;
}

void Pty::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

SpeedReceiver::SpeedReceiver(uint32_t speed, std::string stream, std::chrono::milliseconds interval)
    : speed_(speed), stream_(std::move(stream)), interval_(interval) {
  // Raw, so the far end's bytes are never echoed back, and at a speed not in the
  // hunt's list, which marks the line as not yet set (a pty starts at 38400).
  termios settings{};
  tcgetattr(pty_.Slave(), &settings);
  cfmakeraw(&settings);
  cfsetispeed(&settings, B300);
  cfsetospeed(&settings, B300);
  tcsetattr(pty_.Slave(), TCSANOW, &settings);
  thread_ = std::thread([this] { Run(); });
}

SpeedReceiver::~SpeedReceiver() {
  stop_ = true;
  thread_.join();
}

uint32_t SpeedReceiver::LineSpeed() const {
  const struct {
    speed_t constant;
    uint32_t baud;
  } kSpeeds[] = {{B4800, 4800},   {B9600, 9600},   {B19200, 19200},
                 {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
  termios settings{};
  if (tcgetattr(pty_.Slave(), &settings) != 0) return 0;
  for (const auto& s : kSpeeds) {
    if (cfgetispeed(&settings) == s.constant) return s.baud;
  }
  return 0;
}

std::vector<uint32_t> SpeedReceiver::SpeedsSet() const {
  std::lock_guard lock(mutex_);
  return speedsSet_;
}

void SpeedReceiver::Run() {
  uint32_t seed = 12345;
  while (!stop_) {
    std::this_thread::sleep_for(interval_);
    const uint32_t now = LineSpeed();
    {
      std::lock_guard lock(mutex_);
      if (now != 0 && (speedsSet_.empty() || speedsSet_.back() != now)) speedsSet_.push_back(now);
    }
    if (stream_.empty()) continue;
    std::string burst = stream_;
    if (speed_ == 0 || now != speed_) {
      for (char& c : burst) {
        seed = seed * 1103515245 + 12345;
        c = char(0x80 | (seed >> 16));  // never '$' or '*'
      }
    }
    try {
      pty_.Write(burst);
    } catch (const std::runtime_error&) {
      return;
    }
  }
}

double ProcessCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

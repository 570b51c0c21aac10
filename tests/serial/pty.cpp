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

double ProcessCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

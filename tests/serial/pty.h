// A real pseudo-terminal standing in for a GPS receiver: the test writes on the master side.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& Path() const { return path_; }
  std::u16string Name() const { return std::u16string(path_.begin(), path_.end()); }
  int Slave() const { return slave_; }
  void Write(std::string_view bytes) const;
  // What arrives back on the master side within `wait` (echo, for instance).
  std::string ReadBack(std::chrono::milliseconds wait) const;
  // Unplugs the receiver: the slave side hangs up.
  void CloseMaster();

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so the device stays while the reader reopens it
  std::string path_;
};

// Process CPU time (all threads) in milliseconds.
double ProcessCpuMilliseconds();

// Polls `condition` until it holds or `timeout` passes.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    struct timespec pause = {0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return true;
}

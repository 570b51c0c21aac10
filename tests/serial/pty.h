// A real pseudo-terminal standing in for a GPS receiver: the test writes on the master side.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

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

// A receiver that talks at its own speed on a pseudo-terminal, a burst every
// `interval`: `stream` while the line is set to `speed`, else bytes that frame
// no sentence, as a UART at another speed reads them. Speed 0: noise at every
// speed; an empty stream: silent.
class SpeedReceiver {
 public:
  SpeedReceiver(uint32_t speed, std::string stream,
                std::chrono::milliseconds interval = std::chrono::milliseconds(200));
  ~SpeedReceiver();
  const Pty& Line() const { return pty_; }
  // The speed set on the line now, in baud (0 for one not in the hunt's list).
  uint32_t LineSpeed() const;
  // Every speed set on the line since the receiver started, in order.
  std::vector<uint32_t> SpeedsSet() const;

 private:
  void Run();
  Pty pty_;
  uint32_t speed_;
  std::string stream_;
  std::chrono::milliseconds interval_;
  mutable std::mutex mutex_;
  std::vector<uint32_t> speedsSet_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
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

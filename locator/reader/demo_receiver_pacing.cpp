// The simulated receiver's pacing: one burst a second, each read a wait that a stop cuts short.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "locator/reader/demo_receiver.h"

struct DemoReceiver {
  std::mutex mutex;
  std::condition_variable wake;
  bool woken = false;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  int64_t startUtc = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  uint32_t nextSecond = 0;
  char burst[kDemoBurstCapacity] = {};
  std::size_t length = 0;
  std::size_t offset = 0;
};

DemoReceiver* OpenDemoReceiver() { return new DemoReceiver; }

std::size_t ReadDemoReceiver(DemoReceiver* receiver, char* buffer, std::size_t capacity) {
  std::unique_lock lock(receiver->mutex);
  if (receiver->offset == receiver->length) {
    const auto due = receiver->start + std::chrono::seconds(receiver->nextSecond);
    if (receiver->wake.wait_until(lock, due, [&] { return receiver->woken; })) return 0;
    // A reader that fell behind gets the current second, not a backlog.
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - receiver->start);
    const uint32_t second = std::max(receiver->nextSecond, uint32_t(elapsed.count()));
    receiver->length = BuildDemoBurst(second, receiver->startUtc + second, receiver->burst);
    receiver->offset = 0;
    receiver->nextSecond = second + 1;
  }
  if (receiver->woken) return 0;
  const std::size_t count = std::min(capacity, receiver->length - receiver->offset);
  std::memcpy(buffer, receiver->burst + receiver->offset, count);
  receiver->offset += count;
  return count;
}

void WakeDemoReceiver(DemoReceiver* receiver) {
  {
    std::lock_guard lock(receiver->mutex);
    receiver->woken = true;
  }
  receiver->wake.notify_all();
}

void CloseDemoReceiver(DemoReceiver* receiver) { delete receiver; }

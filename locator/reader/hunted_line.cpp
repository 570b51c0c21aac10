// Reads of a hunted line: the hunt's deadline bounds each wait.
#include "locator/reader/hunted_line.h"

#include <algorithm>
#include <chrono>

namespace {

// How long a read may wait for its first byte: without end unless the hunt
// judges the speed at some moment.
std::chrono::milliseconds FirstByteWait(const HuntedLine& line) {
  const HuntClock::time_point deadline = HuntDeadline(line.watch.hunt);
  if (deadline == HuntClock::time_point::max()) return std::chrono::milliseconds(-1);
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - HuntClock::now());
  return std::max(std::chrono::milliseconds(0), left);
}

}  // namespace

void StartHuntedLine(HuntedLine& line, SerialPortHandle port, uint32_t speed, bool fixed) {
  line.port = port;
  StartLineWatch(line.watch, speed, fixed, HuntClock::now());
}

std::ptrdiff_t ReadHuntedLine(HuntedLine& line, char* buffer, std::size_t capacity,
                              bool* speedChanged) {
  *speedChanged = false;
  const std::ptrdiff_t count =
      ReadSerialPortWithin(line.port, buffer, capacity, FirstByteWait(line));
  if (count == kSerialPortGone) return count;
  const uint32_t speed = WatchLine(line.watch, buffer, std::size_t(count), HuntClock::now());
  if (speed != 0 && SetSerialPortSpeed(line.port, speed)) {
    DiscardSerialInput(line.port);
    *speedChanged = true;
  }
  return count;
}

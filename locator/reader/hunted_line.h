// A serial line whose speed is hunted: reads that wake when the hunt wants to judge, speeds changed between reads.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locator/reader/line_watch.h"
#include "platform/serial_port.h"

struct HuntedLine {
  SerialPortHandle port = kInvalidSerialPort;
  LineWatch watch;
};

// Starts watching the open port at the speed it was opened with; `fixed` keeps
// that speed whatever comes.
void StartHuntedLine(HuntedLine& line, SerialPortHandle port, uint32_t speed, bool fixed);

// One read, which returns early with nothing when the hunt's window ends; the
// bytes are then judged and, when the hunt asks, the next speed is set and what
// came at the old one dropped. Returns the count (0 when woken or at the
// window's end) or kSerialPortGone; *speedChanged tells whether the speed changed.
std::ptrdiff_t ReadHuntedLine(HuntedLine& line, char* buffer, std::size_t capacity,
                              bool* speedChanged);

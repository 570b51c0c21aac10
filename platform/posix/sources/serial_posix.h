// What an open port holds on Linux, and the helpers behind it: a tty device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <termios.h>

struct SerialPort {
  int fd = -1;
  int wakeFd = -1;        // eventfd: readable once a stop wants the read back
  bool gone = false;      // the line hung up; later reads return at once
  bool mayReturn = true;  // its name stays its own once it is gone
};

// The device path for a port name: "/..." as is, "COMn:" as /dev/ttyS(n-1),
// anything else under /dev/ (a trailing ':' dropped). Empty when the name
// cannot be a device ("", "..").
std::string SerialDevicePath(const char16_t* name);

// Opens a tty exclusively (TIOCEXCL and an flock that holds for root too) and
// checks that its settings read. The descriptor, or -1 with *why set.
int OpenTtyDevice(const std::string& path, std::string* why);

// Raw input without cfmakeraw, which would force 8N1: only what edits,
// translates, echoes or answers the stream is switched off.
void MakeInputRaw(termios& settings);

// Raw input at the given speed, every other line setting kept.
bool SetTtySpeed(int fd, uint32_t baudRate);

// Releases the exclusive claims and closes the descriptor.
void CloseTtyDevice(int fd);

// Serial ports by name: exclusive open, only the speed changed, reads that a stop can wake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SerialPort;  // each platform layer defines what an open port holds
using SerialPortHandle = SerialPort*;
inline constexpr SerialPortHandle kInvalidSerialPort = nullptr;

// ReadSerialPort's result when the line is gone for good (device unplugged,
// peer closed, read error): reading again will not bring more.
inline constexpr std::ptrdiff_t kSerialPortGone = -1;

// Opens the named port for this process alone and checks that its current
// line settings can be read. Invalid when the port is missing, busy, not a
// serial line or its settings are unreadable; *why (when given) then says so
// in the system's words, with the path that was tried.
SerialPortHandle OpenSerialPort(const char16_t* name, std::u16string* why = nullptr);

// Sets the speed, keeping byte size, parity, stop bits and hardware flow
// control as they were; input is taken raw (no echo, no line editing, no
// character translation). False when the port refuses the speed, with *why
// (when given) in the system's words.
bool SetSerialPortSpeed(SerialPortHandle port, uint32_t baudRate, std::u16string* why = nullptr);

// Blocks until bytes arrive, then gathers more until `capacity` bytes have
// come or the line has been quiet for a moment, so a receiver's burst is
// returned whole. Returns the count, 0 when woken by WakeSerialPort, or
// kSerialPortGone. Nothing is ever written to the port.
std::ptrdiff_t ReadSerialPort(SerialPortHandle port, char* buffer, std::size_t capacity);

// Makes a pending read, and every later one, return at once. Safe to call
// from another thread while ReadSerialPort blocks, but not with CloseSerialPort.
void WakeSerialPort(SerialPortHandle port);

// Whether the port may be opened again by its name once it is gone: true for a
// device that comes back under its name (USB, Bluetooth, gpsd), false where the
// system gives the name to another device at once (a pseudo-terminal's number).
bool SerialPortMayReturn(SerialPortHandle port);

// The names a port list offers before "COM1:"..."COM9:": on Linux the receivers
// plugged in now (their /dev/serial/by-id links, then ttyUSB*, ttyACM* and rfcomm*
// devices no link leads to), then "gpsd:" and "DEMO:"; none on Windows.
std::vector<std::u16string> OfferedPortNames();

// Closes the port; no read may be pending on it.
void CloseSerialPort(SerialPortHandle port);

// Serial ports by name: exclusive open, only the speed changed, reads that a stop can wake.
#pragma once

#include <chrono>
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

// Opens the named port for this process alone, checks that its current line
// settings can be read and raises DTR and RTS (USB CDC firmwares and some
// pucks stay silent until DTR is up; on boards that wire DTR to reset, such as
// Arduinos, the raise resets them). Invalid when the port is missing, busy,
// not a serial line or its settings are unreadable; *why (when given) then
// says so in the system's words, with the path that was tried.
SerialPortHandle OpenSerialPort(const char16_t* name, std::u16string* why = nullptr);

// Sets the speed, keeping byte size, parity, stop bits and hardware flow
// control as they were; input is taken raw (no echo, no line editing, no
// character translation). False when the port refuses the speed, with *why
// (when given) in the system's words. May be called again at any time, by the
// thread that reads the port.
bool SetSerialPortSpeed(SerialPortHandle port, uint32_t baudRate, std::u16string* why = nullptr);

// Drops what the port has received but not yet handed to a read: after a
// speed change those bytes were framed at the speed left and mean nothing.
void DiscardSerialInput(SerialPortHandle port);

// Blocks until bytes arrive, then gathers more until `capacity` bytes have
// come or the line has been quiet for a moment, so a receiver's burst is
// returned whole. Returns the count, 0 when woken by WakeSerialPort, or
// kSerialPortGone. Nothing is ever written to the port.
std::ptrdiff_t ReadSerialPort(SerialPortHandle port, char* buffer, std::size_t capacity);

// The same, but returning 0 once `wait` has passed without a first byte.
std::ptrdiff_t ReadSerialPortWithin(SerialPortHandle port, char* buffer, std::size_t capacity,
                                    std::chrono::milliseconds wait);

// Makes a pending read, and every later one, return at once. Safe to call
// from another thread while ReadSerialPort blocks, but not with CloseSerialPort.
void WakeSerialPort(SerialPortHandle port);

// Whether the port may be opened again by its name once it is gone: true for a
// device that comes back under its name (USB, Bluetooth), false where the
// system gives the name to another device at once (a pseudo-terminal's number).
bool SerialPortMayReturn(SerialPortHandle port);

// The serial ports present now, each once, for "auto:" to try: on Linux the
// by-id links, then ttyUSB*, ttyACM* and rfcomm* devices no link leads to, then
// serial0, ttyAMA0 and ttyS0 where they exist (never the system console); on
// Windows the ports the system lists under HARDWARE\DEVICEMAP\SERIALCOMM.
std::vector<std::u16string> SerialPortsPresent();

// Closes the port; no read may be pending on it.
void CloseSerialPort(SerialPortHandle port);

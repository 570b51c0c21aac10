// The GPS port reader: one background thread that frames the receiver's NMEA stream into the parser.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "nmea/framer.h"
#include "platform/serial_port.h"

struct DemoReceiver;

// What the reader reads from: a serial port, or the simulated receiver that
// the name "DEMO:" selects on every platform.
struct GpsPort {
  SerialPortHandle serial = kInvalidSerialPort;
  DemoReceiver* demo = nullptr;
};
bool IsGpsPortOpen(const GpsPort& port);

// Opens the port and starts the reader thread, which runs even when the open
// failed (the user has then been told why). True when the port is open.
bool StartGpsReader(const char16_t* portName, uint32_t baudRate);

// Asks the reader to end and wakes a read it is blocked in; returns at once.
// The reader thread closes the port as it ends.
void StopGpsReader();

// Waits up to `timeout` for the reader thread to end; true once it has (or
// none runs). For tests and orderly shutdown; the programs do not wait.
bool WaitGpsReaderStopped(std::chrono::milliseconds timeout);

// Opens and configures the named port, telling the user in a message box why
// it could not; a closed GpsPort then.
GpsPort OpenGpsPort(const char16_t* portName, uint32_t baudRate);

// One read of at most kGpsReadSize bytes from the reader's port into the
// buffer, with a NUL after them. The count; 0 with no port or nothing read.
std::size_t ReadGpsPort(char (&readBuffer)[kGpsReadSize + 1]);

// The reader thread's procedure; returns 0 when asked to stop.
int GpsReaderThread();

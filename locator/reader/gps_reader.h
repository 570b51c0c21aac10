// The GPS port reader: one background thread that frames the receiver's NMEA stream into the parser.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Opens the port that portName picks (a serial port, or a built-in source such
// as "DEMO:") and starts the reader thread, which runs even when the open
// failed. On failure the user has been told in an "Error!" box: its text says
// what failed ("Error Opening Comms Port.", "Can't configure GPS-port."), its
// detail why, in the system's words. True when the port is open.
bool StartGpsReader(const char16_t* portName, uint32_t baudRate);

// Asks the reader to end and wakes a read it is blocked in; returns at once.
// The reader thread closes the port as it ends.
void StopGpsReader();

// Waits up to `timeout` for the reader thread to end; true once it has (or
// none runs). For tests and orderly shutdown; the programs do not wait.
bool WaitGpsReaderStopped(std::chrono::milliseconds timeout);

// What the reader waits on, in a few words for the status window: a port that
// went away, else what the source says of itself ("a Wi-Fi position, ±350 m"
// from a location service), else what the receiver has sent so far ("no data
// from the port yet", "9 satellites in view, no fix yet"). Any thread.
std::u16string DescribeGpsReaderWait();

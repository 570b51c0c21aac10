// The GPS port reader: one background thread that frames the receiver's NMEA stream into the parser.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// Opens the port that portName picks (a serial port, or a built-in source such
// as "DEMO:" or "tcp:HOST:PORT") and starts the reader thread, which runs even
// when the open failed. On failure the user has been told in an "Error!" box: its
// text says what failed ("Error Opening Comms Port.", "Can't configure
// GPS-port."), its detail why, in the system's words. True when the port is open.
// While the open runs (a connect to a host that does not answer may take
// seconds), `giveUp` is asked every few milliseconds; once it answers true the
// start returns false at once and tells nobody anything.
bool StartGpsReader(const char16_t* portName, uint32_t baudRate,
                    const std::function<bool()>& giveUp = {});

// Asks the reader to end and wakes a read it is blocked in; returns at once.
// The reader thread closes the port as it ends.
void StopGpsReader();

// Waits up to `timeout` for the reader thread to end; true once it has (or
// none runs). For tests and orderly shutdown; the programs do not wait.
bool WaitGpsReaderStopped(std::chrono::milliseconds timeout);

// What the reader waits on, in a few words for the status window: a port that
// went away or a connection being made again, else what the source says of its
// line ("bytes but no NMEA at 4800 baud, trying 9600", "a Wi-Fi position, ±350 m")
// or what the receiver has sent so far ("no data from the port yet", "connected to
// 192.168.1.10:10110, no sentence yet", "9 satellites in view, no fix yet"). Any thread.
std::u16string DescribeGpsReaderWait();

// "auto:": every serial port present opened at once and hunted; the first to bring NMEA becomes the port.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "locator/reader/hunted_line.h"
#include "platform/serial_port.h"

struct AutoSearch;

// The port that spoke, handed over open with its hunt (which found NMEA at
// `line.watch.hunt.speed`) and the bytes of the read in which it did.
struct AutoWinner {
  HuntedLine line;
  std::u16string name;
  std::string firstBytes;
};

// How the search goes, for the user: ports tried, and a binary protocol that
// one of them sends (the first such port's name), which no NMEA port outranks
// until one speaks.
struct AutoReport {
  std::size_t portsTried = 0;
  std::u16string binaryPort;
  BinaryProtocol binary = BinaryProtocol::None;
};

// Opens every port SerialPortsPresent lists (one another program holds is
// skipped) and starts hunting each on a thread of its own. Never null.
AutoSearch* StartAutoSearch();

// Looks for ports that appeared since (a receiver plugged in later), then waits
// up to `wait` for one to bring a checksummed sentence. True with the winner
// handed over; every other port is closed at once and the search is over.
// False when the wait passed or the search was woken.
bool AwaitAutoWinner(AutoSearch* search, std::chrono::milliseconds wait, AutoWinner* winner);

// Makes a pending AwaitAutoWinner, and every later one, return false at once. Any thread.
void WakeAutoSearch(AutoSearch* search);

AutoReport ReportAutoSearch(AutoSearch* search);

// Ends the hunts and closes every port still held (not a winner's, which was handed over).
void CloseAutoSearch(AutoSearch* search);

// Finds NMEA sentences whose checksum holds in raw bytes: the proof that a line's speed is right.
#pragma once

#include <cstddef>
#include <cstdint>

// Scan state carried from one read to the next, so a sentence cut by a read
// still counts.
struct ChecksumScan {
  uint8_t step = 0;    // where in a sentence the scan is (outside, address, body, digits)
  uint8_t sum = 0;     // XOR of the characters since the '$'
  uint8_t length = 0;  // characters since the '$'
  uint8_t given = 0;   // the first checksum digit's value
};

// Counts the "$ADDRESS,...*HH" sentences in bytes whose two hex digits match
// the XOR of the characters between '$' and '*'. The address is 2 to 10
// upper-case letters or digits; a control byte, a byte above 126 or a sentence
// past NMEA's 82 characters ends a candidate, so line noise at a wrong speed
// passes for a sentence about once in many megabytes.
std::size_t CountChecksummedSentences(ChecksumScan& scan, const char* bytes, std::size_t count);

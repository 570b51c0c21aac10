// Binary receiver protocols told apart from line noise: a receiver left in one sends bytes but no NMEA.
#pragma once

#include <cstddef>
#include <cstdint>

enum class BinaryProtocol : uint8_t { None, Ubx, Sirf };

// The protocol of the first whole frame in bytes whose checksum holds: u-blox
// UBX (B5 62, class, id, length, payload, Fletcher checksum) or SiRF binary
// (A0 A2, length, payload, 15-bit sum, B0 B3). None when no whole frame is
// there; a frame cut by the end of bytes does not count.
BinaryProtocol RecognizeBinaryProtocol(const unsigned char* bytes, std::size_t count);

// "u-blox UBX binary", "SiRF binary"; empty for None.
const char16_t* BinaryProtocolName(BinaryProtocol protocol);

// UBX and SiRF frames recognised by their framing and checksums.
#include "locator/reader/binary_protocol.h"

namespace {

// B5 62 class id length(2, little-endian) payload CK_A CK_B; the checksum
// covers class through payload.
bool IsUbxFrame(const unsigned char* b, std::size_t available) {
  if (available < 8 || b[0] != 0xb5 || b[1] != 0x62) return false;
  const std::size_t length = std::size_t(b[4]) | std::size_t(b[5]) << 8;
  if (available < 8 + length) return false;
  uint8_t a = 0, c = 0;
  for (std::size_t i = 2; i < 6 + length; ++i) {
    a = uint8_t(a + b[i]);
    c = uint8_t(c + a);
  }
  return b[6 + length] == a && b[7 + length] == c;
}

// A0 A2 length(2, big-endian, 15 bits) payload checksum(2, 15-bit sum of the
// payload) B0 B3.
bool IsSirfFrame(const unsigned char* b, std::size_t available) {
  if (available < 8 || b[0] != 0xa0 || b[1] != 0xa2) return false;
  const std::size_t length = std::size_t(b[2] & 0x7f) << 8 | b[3];
  if (length == 0 || available < 8 + length) return false;
  unsigned sum = 0;
  for (std::size_t i = 4; i < 4 + length; ++i) sum += b[i];
  const unsigned given = unsigned(b[4 + length]) << 8 | b[5 + length];
  return (sum & 0x7fff) == given && b[6 + length] == 0xb0 && b[7 + length] == 0xb3;
}

}  // namespace

BinaryProtocol RecognizeBinaryProtocol(const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i + 8 <= count; ++i) {
    if (IsUbxFrame(bytes + i, count - i)) return BinaryProtocol::Ubx;
    if (IsSirfFrame(bytes + i, count - i)) return BinaryProtocol::Sirf;
  }
  return BinaryProtocol::None;
}

const char16_t* BinaryProtocolName(BinaryProtocol protocol) {
  switch (protocol) {
    case BinaryProtocol::Ubx: return u"u-blox UBX binary";
    case BinaryProtocol::Sirf: return u"SiRF binary";
    case BinaryProtocol::None: break;
  }
  return u"";
}

// The checksum scan: a small state machine over the bytes of each read.
#include "locator/reader/checksum_scan.h"

namespace {

enum Step : uint8_t { kOutside, kAddress, kBody, kFirstDigit, kSecondDigit };

constexpr uint8_t kShortestAddress = 2;
constexpr uint8_t kLongestAddress = 10;
constexpr uint8_t kLongestSentence = 79;  // between '$' and '*': 82 less '$', '*' and the digits

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsAddressCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void Begin(ChecksumScan& scan) {
  scan.step = kAddress;
  scan.sum = 0;
  scan.length = 0;
}

// One character of the text between '$' and '*': summed, or the end of the candidate.
void Take(ChecksumScan& scan, unsigned char c) {
  if (c < 0x20 || c > 0x7e || ++scan.length > kLongestSentence) {
    scan.step = kOutside;
    return;
  }
  if (scan.step == kAddress && !IsAddressCharacter(c)) {
    const bool addressEnds = c == ',' && scan.length > kShortestAddress;
    if (!addressEnds) {
      scan.step = kOutside;
      return;
    }
    scan.step = kBody;
  } else if (scan.step == kAddress && scan.length > kLongestAddress) {
    scan.step = kOutside;
    return;
  }
  scan.sum ^= c;
}

}  // namespace

std::size_t CountChecksummedSentences(ChecksumScan& scan, const char* bytes, std::size_t count) {
  std::size_t sentences = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '$') {
      Begin(scan);
      continue;
    }
    switch (scan.step) {
      case kOutside: break;
      case kAddress:
      case kBody:
        if (c == '*' && scan.step == kBody) {
          scan.step = kFirstDigit;
        } else {
          Take(scan, c);
        }
        break;
      case kFirstDigit: {
        const int value = HexValue(c);
        scan.given = uint8_t(value << 4);
        scan.step = value < 0 ? kOutside : kSecondDigit;
        break;
      }
      case kSecondDigit: {
        const int value = HexValue(c);
        if (value >= 0 && uint8_t(scan.given | value) == scan.sum) ++sentences;
        scan.step = kOutside;
        break;
      }
    }
  }
  return sentences;
}

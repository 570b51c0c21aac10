// libFuzzer target: a line's bytes cut into reads at varying times, watched as the speed hunt watches them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "locator/reader/binary_protocol.h"
#include "locator/reader/checksum_scan.h"
#include "locator/reader/line_watch.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

bool IsAddress(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

int Hex(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Whether a checksummed sentence starts at the '$' at `at`, read the plain way.
bool SentenceAt(const std::string& s, std::size_t at) {
  std::size_t i = at + 1;
  while (i < s.size() && IsAddress(static_cast<unsigned char>(s[i]))) ++i;
  const std::size_t address = i - at - 1;
  if (address < 2 || address > 10 || i >= s.size() || s[i] != ',') return false;
  unsigned sum = 0;
  for (std::size_t k = at + 1; k < s.size(); ++k) {
    const unsigned char c = static_cast<unsigned char>(s[k]);
    if (c == '*') {
      if (k + 2 >= s.size()) return false;
      const int high = Hex(static_cast<unsigned char>(s[k + 1]));
      const int low = Hex(static_cast<unsigned char>(s[k + 2]));
      return high >= 0 && low >= 0 && unsigned(high << 4 | low) == sum;
    }
    if (c == '$' || c < 0x20 || c > 0x7e || k - at > 79) return false;
    sum ^= c;
  }
  return false;
}

std::size_t ReferenceCount(const std::string& s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); ++i) count += s[i] == '$' && SentenceAt(s, i);
  return count;
}

bool IsHunted(uint32_t speed) {
  return std::find(std::begin(kHuntedSpeeds), std::end(kHuntedSpeeds), speed) !=
         std::end(kHuntedSpeeds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool fixed = in.ConsumeBool();
  LineWatch watch;
  HuntClock::time_point now{};
  StartLineWatch(watch, 4800, fixed, now);
  ChecksumScan scan;
  std::string whole;
  std::size_t scanned = 0;
  while (in.remaining_bytes() > 0) {
    now += std::chrono::milliseconds(in.ConsumeIntegralInRange<int>(0, 2000));
    const std::string read =
        in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 600));
    whole += read;
    scanned += CountChecksummedSentences(scan, read.data(), read.size());
    const SpeedHunt before = watch.hunt;
    const uint32_t speed = WatchLine(watch, read.data(), read.size(), now);
    if (speed == 0) continue;
    // A change only while hunting, to the next speed of the round, for a reason.
    Check(!fixed && before.found == HuntFound::Nothing && IsHunted(speed));
    Check(speed == NextHuntedSpeed(before.speed) && watch.hunt.givenUp == before.speed);
    Check(before.bytes + read.size() >= kHuntBytes ||
          (before.bytes > 0 && now - before.windowStart >= kHuntWindow));
  }
  // Cut anywhere, the stream holds the same sentences as read the plain way.
  Check(scanned == ReferenceCount(whole));
  // Frames are recognised anywhere in the bytes, never read past their end.
  RecognizeBinaryProtocol(reinterpret_cast<const unsigned char*>(whole.data()), whole.size());
  return 0;
}

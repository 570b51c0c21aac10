// libFuzzer target: a byte stream cut into reads of varying size, framed and parsed as the reader does.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "locator/nmea_framer.h"
#include "locator/nmea_parser.h"

namespace {

void ParseChecked(const char* sentence, void*) {
  if (std::strlen(sentence) >= sizeof(NmeaFramer::sentence)) __builtin_trap();
  ParseNmeaSentence(sentence);
}

// Full reads are what carry a sentence over to the next read, so they come often.
std::size_t NextReadSize(FuzzedDataProvider& input) {
  const uint8_t selector = input.ConsumeIntegral<uint8_t>();
  if (selector >= 160) return kGpsReadSize;
  return static_cast<std::size_t>(selector) * kGpsReadSize / 160;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ResetGpsState();
  FuzzedDataProvider input(data, size);
  NmeaFramer framer;
  while (input.remaining_bytes() > 0) {
    const std::vector<char> bytes = input.ConsumeBytes<char>(NextReadSize(input));
    char buffer[kGpsReadSize + 1] = {};
    std::memcpy(buffer, bytes.data(), bytes.size());
    FrameNmeaRead(framer, buffer, ParseChecked, nullptr);
    if (framer.carried >= sizeof framer.sentence || framer.inSentence) __builtin_trap();
  }
  double latitude = 0, longitude = 0;
  uint8_t valid = 0;
  GetGpsFix(&latitude, &longitude, &valid);
  const GpsState state = CopyGpsState();
  if (valid > 1 || state.other.text[sizeof state.other.text - 1] != '\0') __builtin_trap();
  return 0;
}

// libFuzzer target: a byte stream cut into reads of varying size, framed and parsed as the reader does.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/nmea_reference.h"
#include "nmea/framer.h"
#include "nmea/parser.h"

namespace {

using Texts = std::vector<std::string>;

// Member by member as the blocks' tables list them, floating-point values bit
// for bit (a NaN or -0.0 must match too).
void Same(double a, double b) {
  if (std::bit_cast<uint64_t>(a) != std::bit_cast<uint64_t>(b)) __builtin_trap();
}
void Same(float a, float b) {
  if (std::bit_cast<uint32_t>(a) != std::bit_cast<uint32_t>(b)) __builtin_trap();
}
template <typename T>
void Same(const T& a, const T& b) {
  if (a != b) __builtin_trap();
}
template <NmeaRecord Record>
void Same(const Record& a, const Record& b);
template <typename T, std::size_t N>
void Same(const T (&a)[N], const T (&b)[N]) {
  for (std::size_t i = 0; i < N; ++i) Same(a[i], b[i]);
}
template <NmeaRecord Record>
void Same(const Record& a, const Record& b) {
  ForEachNmeaMember<Record>([&](const char*, auto member) { Same(a.*member, b.*member); });
}

void SameState(const GpsState& s, const GpsState& r) {
  std::apply([&](const auto&... block) { (Same(s.*block.member, r.*block.member), ...); },
             kGpsBlocks);
  Same(s.other.text, r.other.text);
}

// Every text goes to the parser and to the plain reference parser beside it.
GpsState gReferenceState;

void ParseChecked(const char* sentence, void* context) {
  if (std::strlen(sentence) >= sizeof(NmeaFramer::sentence)) __builtin_trap();
  static_cast<Texts*>(context)->push_back(sentence);
  ParseNmeaSentence(sentence);
  nmea_reference::ParseSentence(gReferenceState, sentence);
  SameState(CopyGpsState(), gReferenceState);
}

// The framing as a plain byte-by-byte loop, to check the fast scan against.
struct ReferenceFramer {
  std::string carried;
  Texts texts;

  void Read(const char* buffer) {
    std::size_t start = 0;
    bool inSentence = false;
    for (std::size_t i = 0; i < kGpsReadSize; ++i) {
      if (buffer[i] == '$') {
        start = i, inSentence = true, carried.clear();
      } else if (buffer[i] == '*') {
        const std::string text = inSentence ? std::string(buffer + start, i - start + 1)
                                            : carried + std::string(buffer, i + 1);
        if (text.size() <= 255) texts.push_back(text);
        inSentence = false, carried.clear();
      } else if (buffer[i] == '\0') {
        return;
      }
    }
    if (inSentence) carried = kGpsReadSize - start <= 255 ? std::string(buffer + start) : "";
  }
};

// Full reads are what carry a sentence over to the next read, so they come often.
std::size_t NextReadSize(FuzzedDataProvider& input) {
  const uint8_t selector = input.ConsumeIntegral<uint8_t>();
  if (selector >= 160) return kGpsReadSize;
  return static_cast<std::size_t>(selector) * kGpsReadSize / 160;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ResetGpsState();
  gReferenceState = GpsState{};
  FuzzedDataProvider input(data, size);
  NmeaFramer framer;
  Texts texts;
  ReferenceFramer reference;
  while (input.remaining_bytes() > 0) {
    const std::vector<char> bytes = input.ConsumeBytes<char>(NextReadSize(input));
    char buffer[kGpsReadSize + 1] = {};
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    FrameNmeaRead(framer, buffer, ParseChecked, &texts);
    if (framer.carried >= sizeof framer.sentence || framer.inSentence) __builtin_trap();
    reference.Read(buffer);
  }
  if (texts != reference.texts) __builtin_trap();
  double latitude = 0, longitude = 0;
  uint8_t valid = 0;
  GetGpsFix(&latitude, &longitude, &valid);
  const GpsState state = CopyGpsState();
  if (valid > 1 || state.other.text[sizeof state.other.text - 1] != '\0') __builtin_trap();
  SameState(state, gReferenceState);
  double referenceLatitude = 0, referenceLongitude = 0;
  uint8_t referenceValid = 0;
  nmea_reference::Fix(gReferenceState, &referenceLatitude, &referenceLongitude, &referenceValid);
  Same(latitude, referenceLatitude), Same(longitude, referenceLongitude);
  Same(valid, referenceValid);
  return 0;
}

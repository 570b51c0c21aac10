// libFuzzer target: a byte stream cut into reads of varying size, framed and parsed as the reader does.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/nmea_reference.h"
#include "nmea/framer.h"
#include "nmea/parser.h"

namespace {

using Texts = std::vector<std::string>;

// Field by field, floating-point values bit for bit (a NaN or -0.0 must match too).
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
template <typename T, std::size_t N>
void Same(const T (&a)[N], const T (&b)[N]) {
  for (std::size_t i = 0; i < N; ++i) Same(a[i], b[i]);
}

void SameState(const GpsState& s, const GpsState& r) {
  Same(s.gga.tag, r.gga.tag), Same(s.gga.hour, r.gga.hour), Same(s.gga.minute, r.gga.minute);
  Same(s.gga.second, r.gga.second), Same(s.gga.latitude, r.gga.latitude);
  Same(s.gga.latHemisphere, r.gga.latHemisphere), Same(s.gga.longitude, r.gga.longitude);
  Same(s.gga.lonHemisphere, r.gga.lonHemisphere), Same(s.gga.quality, r.gga.quality);
  Same(s.gga.satellites, r.gga.satellites), Same(s.gga.hdop, r.gga.hdop);
  Same(s.gga.altitude, r.gga.altitude), Same(s.gga.altitudeUnit, r.gga.altitudeUnit);
  Same(s.gga.geoidSeparation, r.gga.geoidSeparation), Same(s.gga.geoidUnit, r.gga.geoidUnit);
  Same(s.gga.dgpsAge, r.gga.dgpsAge), Same(s.gga.dgpsStation, r.gga.dgpsStation);

  Same(s.gll.tag, r.gll.tag), Same(s.gll.latitude, r.gll.latitude);
  Same(s.gll.latHemisphere, r.gll.latHemisphere), Same(s.gll.longitude, r.gll.longitude);
  Same(s.gll.lonHemisphere, r.gll.lonHemisphere), Same(s.gll.hour, r.gll.hour);
  Same(s.gll.minute, r.gll.minute), Same(s.gll.second, r.gll.second);
  Same(s.gll.status, r.gll.status);

  Same(s.gsa.tag, r.gsa.tag), Same(s.gsa.mode, r.gsa.mode), Same(s.gsa.fixType, r.gsa.fixType);
  Same(s.gsa.satelliteIds, r.gsa.satelliteIds), Same(s.gsa.pdop, r.gsa.pdop);
  Same(s.gsa.hdop, r.gsa.hdop), Same(s.gsa.vdop, r.gsa.vdop);

  Same(s.gsv.tag, r.gsv.tag), Same(s.gsv.messageNumber, r.gsv.messageNumber);
  Same(s.gsv.messageCount, r.gsv.messageCount);
  Same(s.gsv.satellitesInView, r.gsv.satellitesInView);
  for (int i = 0; i < 4; ++i) {
    const GsvSatellite& a = s.gsv.satellites[i];
    const GsvSatellite& b = r.gsv.satellites[i];
    Same(a.prn, b.prn), Same(a.elevation, b.elevation), Same(a.azimuth, b.azimuth);
    Same(a.snr, b.snr);
  }

  Same(s.rmc.tag, r.rmc.tag), Same(s.rmc.hour, r.rmc.hour), Same(s.rmc.minute, r.rmc.minute);
  Same(s.rmc.second, r.rmc.second), Same(s.rmc.status, r.rmc.status);
  Same(s.rmc.latitude, r.rmc.latitude), Same(s.rmc.latHemisphere, r.rmc.latHemisphere);
  Same(s.rmc.longitude, r.rmc.longitude), Same(s.rmc.lonHemisphere, r.rmc.lonHemisphere);
  Same(s.rmc.speed, r.rmc.speed), Same(s.rmc.course, r.rmc.course);
  Same(s.rmc.day, r.rmc.day), Same(s.rmc.month, r.rmc.month), Same(s.rmc.year, r.rmc.year);
  Same(s.rmc.magneticVariation, r.rmc.magneticVariation);
  Same(s.rmc.variationDirection, r.rmc.variationDirection);

  Same(s.vtg.tag, r.vtg.tag), Same(s.vtg.values, r.vtg.values);

  Same(s.zda.tag, r.zda.tag), Same(s.zda.hour, r.zda.hour), Same(s.zda.minute, r.zda.minute);
  Same(s.zda.second, r.zda.second), Same(s.zda.day, r.zda.day), Same(s.zda.month, r.zda.month);
  Same(s.zda.year, r.zda.year), Same(s.zda.zoneHours, r.zda.zoneHours);
  Same(s.zda.zoneMinutes, r.zda.zoneMinutes);

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

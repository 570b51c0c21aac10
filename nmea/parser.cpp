// The seven understood sentence types, each a short table from field index to stored value.
#include "nmea/parser.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>

#include "nmea/cursor.h"

namespace {

// Written by the reader thread, read by the worker: one lock keeps every block
// whole, so a position never mixes two sentences or shows a half-written double.
GpsState gState{};
std::mutex gStateLock;

constexpr std::size_t kOtherTextMax = sizeof(OtherBlock::text) - 1;

// Satellites in view per constellation, each from the latest GSV of its
// talkers: the gsv block holds only the latest message of any of them.
enum Constellation { kGps, kGlonass, kGalileo, kBeidou, kQzss, kNavic, kCombined, kConstellations };
uint8_t gInView[kConstellations]{};

Constellation ConstellationOf(const char* talker) {
  switch (talker[0] == 'G' ? talker[1] : talker[0]) {
    case 'P': return kGps;
    case 'L': return kGlonass;
    case 'A': return kGalileo;
    case 'B': return kBeidou;
    case 'Q': return kQzss;
    case 'I': return kNavic;
    default: return kCombined;
  }
}

}  // namespace

// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*
void ParseGGA(const char* text) {
  const std::lock_guard lock(gStateLock);
  GgaBlock& b = gState.gga;
  NmeaFieldCursor f(text);
  static_cast<void>(f.Tag(b.tag) && f.Time(&b.hour, &b.minute, &b.second) &&
                    f.Degrees(&b.latitude) && f.Char(&b.latHemisphere) && f.Degrees(&b.longitude) &&
                    f.Char(&b.lonHemisphere) && f.Char(&b.quality) && f.Byte(&b.satellites) &&
                    f.Float(&b.hdop) && f.Int(&b.altitude) && f.Char(&b.altitudeUnit) &&
                    f.Float(&b.geoidSeparation) && f.Char(&b.geoidUnit) && f.Float(&b.dgpsAge) &&
                    f.IntViaDouble(&b.dgpsStation));
}

// $GPGLL,4916.45,N,12311.12,W,225444,A*
void ParseGLL(const char* text) {
  const std::lock_guard lock(gStateLock);
  GllBlock& b = gState.gll;
  NmeaFieldCursor f(text);
  static_cast<void>(f.Tag(b.tag) && f.Double(&b.latitude) && f.Char(&b.latHemisphere) &&
                    f.Double(&b.longitude) && f.Char(&b.lonHemisphere) &&
                    f.Time(&b.hour, &b.minute, &b.second) && f.Char(&b.status));
}

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*
void ParseGSA(const char* text) {
  const std::lock_guard lock(gStateLock);
  GsaBlock& b = gState.gsa;
  NmeaFieldCursor f(text);
  if (!(f.Tag(b.tag) && f.Char(&b.mode) && f.Char(&b.fixType))) return;
  for (uint8_t& id : b.satelliteIds) {
    if (!f.Byte(&id)) return;
  }
  static_cast<void>(f.Float(&b.pdop) && f.Float(&b.hdop) && f.Float(&b.vdop));
}

// $GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*
void ParseGSV(const char* text) {
  const std::lock_guard lock(gStateLock);
  GsvBlock& b = gState.gsv;
  NmeaFieldCursor f(text);
  if (!(f.Tag(b.tag) && f.Char(&b.messageCount) && f.Char(&b.messageNumber) &&
        f.Byte(&b.satellitesInView))) {
    return;
  }
  gInView[ConstellationOf(text + 1)] = b.satellitesInView;
  for (GsvSatellite& s : b.satellites) {
    if (!(f.Byte(&s.prn) && f.Byte(&s.elevation) && f.Int(&s.azimuth) && f.Byte(&s.snr))) return;
  }
}

// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*
void ParseRMC(const char* text) {
  const std::lock_guard lock(gStateLock);
  RmcBlock& b = gState.rmc;
  NmeaFieldCursor f(text);
  static_cast<void>(f.Tag(b.tag) && f.Time(&b.hour, &b.minute, &b.second) && f.Char(&b.status) &&
                    f.Degrees(&b.latitude) && f.Char(&b.latHemisphere) && f.Degrees(&b.longitude) &&
                    f.Char(&b.lonHemisphere) && f.Float(&b.speed) && f.Float(&b.course) &&
                    f.Time(&b.day, &b.month, &b.year) && f.Float(&b.magneticVariation) &&
                    f.Char(&b.variationDirection));
}

// $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*  (the walk ends after field 4: 5 and 6 are not kept)
void ParseVTG(const char* text) {
  const std::lock_guard lock(gStateLock);
  VtgBlock& b = gState.vtg;
  NmeaFieldCursor f(text);
  static_cast<void>(f.Tag(b.tag) && f.Float(&b.values[0]) && f.Float(&b.values[1]) &&
                    f.Float(&b.values[2]) && f.Float(&b.values[3]));
}

// $GPZDA,201530.00,04,07,2002,00,00*  (nothing is kept after field 6)
void ParseZDA(const char* text) {
  const std::lock_guard lock(gStateLock);
  ZdaBlock& b = gState.zda;
  NmeaFieldCursor f(text);
  static_cast<void>(f.Tag(b.tag) && f.Time(&b.hour, &b.minute, &b.second) && f.Byte(&b.day) &&
                    f.Byte(&b.month) && f.Int(&b.year) && f.Byte(&b.zoneHours) &&
                    f.Byte(&b.zoneMinutes));
}

void StoreOtherSentence(const char* text) {
  const std::size_t length = strnlen(text, kOtherTextMax);
  const std::lock_guard lock(gStateLock);
  char* stored = gState.other.text;
  std::memcpy(stored, text, length);
  // Zero the rest so no tail of a longer, older text shows behind this one.
  std::memset(stored + length, 0, sizeof gState.other.text - length);
}

namespace {

using SentenceParser = void (*)(const char* text);

// The GNSS talkers whose sentences are understood: GP (GPS), GN (combined),
// GL (GLONASS), GA (Galileo), GB and BD (BeiDou), GQ and QZ (QZSS), GI (NavIC).
// The second letter is looked at only when the first matched.
bool IsGnssTalker(const char* talker) {
  switch (talker[0]) {
    case 'G': {
      const char c = talker[1];
      return c == 'P' || c == 'N' || c == 'L' || c == 'A' || c == 'B' || c == 'Q' || c == 'I';
    }
    case 'B': return talker[1] == 'D';
    case 'Q': return talker[1] == 'Z';
    default: return false;
  }
}

// The parser whose sentence type the text's first six characters name, or
// null. A character is looked at only when the ones before it matched, so a
// text shorter than six characters is never read past its end.
SentenceParser ParserFor(const char* t) {
  if (t[0] != '$' || !IsGnssTalker(t + 1)) return nullptr;
  switch (t[3]) {
    case 'G':
      if (t[4] == 'G') return t[5] == 'A' ? ParseGGA : nullptr;
      if (t[4] == 'L') return t[5] == 'L' ? ParseGLL : nullptr;
      if (t[4] == 'S') return t[5] == 'A' ? ParseGSA : t[5] == 'V' ? ParseGSV : nullptr;
      return nullptr;
    case 'R': return t[4] == 'M' && t[5] == 'C' ? ParseRMC : nullptr;
    case 'V': return t[4] == 'T' && t[5] == 'G' ? ParseVTG : nullptr;
    case 'Z': return t[4] == 'D' && t[5] == 'A' ? ParseZDA : nullptr;
    default: return nullptr;
  }
}

}  // namespace

void ParseNmeaSentence(const char* text) {
  if (const SentenceParser parse = ParserFor(text)) {
    parse(text);
  } else {
    StoreOtherSentence(text);
  }
}

void GetGpsFix(double* latitude, double* longitude, uint8_t* valid) {
  const std::lock_guard lock(gStateLock);
  const GgaBlock& gga = gState.gga;
  // Quality 0 is the receiver saying it has no fix: the position beside it is
  // a stale or made-up one (8960.0000,N at some cold starts).
  const bool noFix = gga.quality == '0';
  const double lat = gga.latHemisphere == 'S' ? -gga.latitude : gga.latitude;
  const double lon = gga.lonHemisphere == 'W' ? -gga.longitude : gga.longitude;
  if (latitude) *latitude = noFix ? 0.0 : lat;
  if (longitude) *longitude = noFix ? 0.0 : lon;
  if (valid) *valid = gState.rmc.status == 'A' ? 1 : 0;
}

GpsState CopyGpsState() {
  const std::lock_guard lock(gStateLock);
  return gState;
}

void ResetGpsState() {
  const std::lock_guard lock(gStateLock);
  gState = GpsState{};
  std::fill(std::begin(gInView), std::end(gInView), uint8_t{0});
}

int SatellitesInView() {
  const std::lock_guard lock(gStateLock);
  int total = 0;
  for (const uint8_t count : gInView) total += count;
  return total;
}

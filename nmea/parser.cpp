// Each understood sentence into its block of the GPS state, as the block's field table says.
#include "nmea/parser.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>
#include <tuple>
#include <type_traits>

#include "nmea/cursor.h"

namespace {

// Written by the reader thread, read by the worker: one lock keeps every block
// whole, so a position never mixes two sentences or shows a half-written double.
GpsState gState{};
std::mutex gStateLock;

// Whether a GGA has come since the port was opened: from then on the position is GGA's alone.
bool gGgaCame = false;

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

// One field into `out` by its kind.
template <NmeaKind K, typename T>
bool ReadValue(NmeaFieldCursor& f, const char* text, T* out) {
  if constexpr (K == NmeaKind::kChar) {
    return f.Char(out);
  } else if constexpr (K == NmeaKind::kByte) {
    return f.Byte(out);
  } else if constexpr (K == NmeaKind::kInt) {
    return f.Int(out);
  } else if constexpr (K == NmeaKind::kDouble) {
    return f.Double(out);
  } else if constexpr (K == NmeaKind::kFloat) {
    return f.Float(out);
  } else if constexpr (K == NmeaKind::kIntViaDouble) {
    return f.IntViaDouble(out);
  } else if constexpr (K == NmeaKind::kDegrees) {
    return f.Degrees(out);
  } else {
    static_assert(K == NmeaKind::kInViewCount);
    // Counted for the constellation even when the sentence ends with it, as a
    // GSV for a constellation with no satellites in view does.
    const bool more = f.Byte(out);
    gInView[ConstellationOf(text + 1)] = *out;
    return more;
  }
}

template <typename Record>
bool ReadFields(NmeaFieldCursor& f, const char* text, Record& record);

// Each table entry reads its fields and tells whether the sentence goes on.
template <typename Record>
bool Read(NmeaFieldCursor& f, const char*, Record& record,
          const nmea_table::TagField<Record>& field) {
  return f.Tag(record.*field.member);
}

template <NmeaKind K, typename Record, typename Member>
bool Read(NmeaFieldCursor& f, const char* text, Record& record,
          const nmea_table::ValueField<K, Record, Member>& field) {
  Member& member = record.*field.member;
  if constexpr (K == NmeaKind::kLetters) {
    return f.Letters(member);
  } else if constexpr (std::is_array_v<Member>) {
    for (auto& element : member) {
      if (!ReadValue<K>(f, text, &element)) return false;
    }
    return true;
  } else {
    return ReadValue<K>(f, text, &member);
  }
}

template <typename Record, typename T>
bool Read(NmeaFieldCursor& f, const char*, Record& record,
          const nmea_table::TimeField<Record, T>& field) {
  return f.Time(&(record.*field.members[0]), &(record.*field.members[1]),
                &(record.*field.members[2]));
}

template <typename Record, typename Member>
bool Read(NmeaFieldCursor& f, const char* text, Record& record,
          const nmea_table::RecordsField<Record, Member>& field) {
  for (auto& element : record.*field.member) {
    if (!ReadFields(f, text, element)) return false;
  }
  return true;
}

// The walk ends at the sentence's last field or at the table's end, whichever is first.
template <typename Record>
bool ReadFields(NmeaFieldCursor& f, const char* text, Record& record) {
  static constexpr auto kFields = Record::Fields();
  return std::apply([&](const auto&... field) { return (Read(f, text, record, field) && ...); },
                    kFields);
}

// Fills block I of kGpsBlocks from the text, whose type letters are the block's.
template <std::size_t I>
void ParseBlock(const char* text) {
  constexpr auto kBlock = std::get<I>(kGpsBlocks);
  const std::lock_guard lock(gStateLock);
  NmeaFieldCursor f(text);
  static_cast<void>(ReadFields(f, text, gState.*kBlock.member));
  if constexpr (std::is_same_v<decltype(kBlock.member), GgaBlock GpsState::*>) gGgaCame = true;
}

}  // namespace

namespace {

GpsPosition Signed(double latitude, char latHemisphere, double longitude, char lonHemisphere) {
  return {latHemisphere == 'S' ? -latitude : latitude,
          lonHemisphere == 'W' ? -longitude : longitude};
}

// A GNS mode holds one letter per constellation; N is one without a fix.
bool AnyConstellationFixed(const char (&mode)[sizeof GnsBlock::mode]) {
  for (const char letter : mode) {
    if (letter == '\0') break;
    if (letter >= 'A' && letter <= 'Z' && letter != 'N') return true;
  }
  return false;
}

}  // namespace

GpsPosition PositionOf(const GpsState& state, bool ggaCame) {
  // Quality 0 is the receiver saying it has no fix: the position beside it is
  // a stale or made-up one (8960.0000,N at some cold starts).
  const GgaBlock& gga = state.gga;
  if (ggaCame) {
    if (gga.quality == '0') return {};
    return Signed(gga.latitude, gga.latHemisphere, gga.longitude, gga.lonHemisphere);
  }
  // Receivers that send no GGA: RMC's valid position (its mode, where sent, not
  // N), else GNS's when one of its constellations has a fix.
  const RmcBlock& rmc = state.rmc;
  if (rmc.status == 'A' && rmc.mode != 'N') {
    return Signed(rmc.latitude, rmc.latHemisphere, rmc.longitude, rmc.lonHemisphere);
  }
  const GnsBlock& gns = state.gns;
  if (AnyConstellationFixed(gns.mode)) {
    return Signed(gns.latitude, gns.latHemisphere, gns.longitude, gns.lonHemisphere);
  }
  return {};
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

// The parser of block I or a later one whose type letters `type` begins with, or
// null. A letter is looked at only when the ones before it matched, so a text
// shorter than six characters is never read past its end.
template <std::size_t I = 0>
SentenceParser ParserForType(const char* type) {
  if constexpr (I == std::tuple_size_v<decltype(kGpsBlocks)>) {
    return nullptr;
  } else {
    constexpr auto kBlock = std::get<I>(kGpsBlocks);
    if (type[0] == kBlock.type[0] && type[1] == kBlock.type[1] && type[2] == kBlock.type[2]) {
      return ParseBlock<I>;
    }
    return ParserForType<I + 1>(type);
  }
}

// The parser that the text's first six characters name, or null.
SentenceParser ParserFor(const char* t) {
  if (t[0] != '$' || !IsGnssTalker(t + 1)) return nullptr;
  return ParserForType(t + 3);
}

}  // namespace

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

void ParseNmeaSentence(const char* text) {
  if (const SentenceParser parse = ParserFor(text)) {
    parse(text);
  } else {
    StoreOtherSentence(text);
  }
}

void GetGpsFix(double* latitude, double* longitude, uint8_t* valid) {
  const std::lock_guard lock(gStateLock);
  const GpsPosition position = PositionOf(gState, gGgaCame);
  if (latitude) *latitude = position.latitude;
  if (longitude) *longitude = position.longitude;
  if (valid) *valid = gState.rmc.status == 'A' ? 1 : 0;
}

void NoteGpsPortOpened() {
  const std::lock_guard lock(gStateLock);
  gGgaCame = false;
}

bool IsGpsSentence(const char* text) { return ParserFor(text) != nullptr; }

GpsFixState CopyGpsFixState() {
  const std::lock_guard lock(gStateLock);
  return {gState, PositionOf(gState, gGgaCame), gGgaCame};
}

GpsState CopyGpsState() {
  const std::lock_guard lock(gStateLock);
  return gState;
}

void ResetGpsState() {
  const std::lock_guard lock(gStateLock);
  gState = GpsState{};
  gGgaCame = false;
  std::fill(std::begin(gInView), std::end(gInView), uint8_t{0});
}

int SatellitesInView() {
  const std::lock_guard lock(gStateLock);
  int total = 0;
  for (const uint8_t count : gInView) total += count;
  return total;
}

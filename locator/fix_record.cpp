// The record of a found fix for the position formats.
#include "locator/fix_record.h"

#include <charconv>
#include <mutex>

#include "locator/fix_gates.h"
#include "nmea/parser.h"

namespace {

struct KeptField {
  SentField field;
  const char* type;  // the sentence type after the talker
  int index;         // fields counted from the tag, 0
};
constexpr KeptField kKeptFields[] = {
    {SentField::GgaAltitude, "GGA", 9},
    {SentField::RmcTime, "RMC", 1},
    {SentField::ZdaTime, "ZDA", 1},
};

std::mutex gKeptLock;
std::string gKept[int(SentField::Count)];

// Field index of sentence, up to the next comma or the checksum.
std::string_view FieldOf(std::string_view sentence, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t comma = sentence.find(',');
    if (comma == std::string_view::npos) return {};
    sentence.remove_prefix(comma + 1);
  }
  return sentence.substr(0, std::min(sentence.find(','), sentence.find('*')));
}

// "545.40": the value and its digits after the point; none for anything else.
bool ReadDecimal(std::string_view text, double& value, int& decimals) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || at != end) return false;
  const std::size_t point = text.find('.');
  decimals = point == std::string_view::npos ? 0 : int(text.size() - point - 1);
  return true;
}

// The seconds of an hhmmss[.ss] text with their decimals.
void ReadSeconds(std::string_view time, ReceiverTime& out) {
  double second = 0;
  int decimals = 0;
  if (time.size() > 4 && ReadDecimal(time.substr(4), second, decimals)) {
    out.second = second;
    out.secondDecimals = decimals;
  }
}

std::optional<ReceiverTime> TimeOf(const GpsState& state, const SentTexts& texts) {
  if (state.rmc.year || state.rmc.month || state.rmc.day) {
    ReceiverTime t{2000 + state.rmc.year, state.rmc.month,  state.rmc.day,
                   state.rmc.hour,        state.rmc.minute, double(state.rmc.second)};
    ReadSeconds(texts.rmcTime, t);
    return t;
  }
  if (state.zda.year) {
    ReceiverTime t{state.zda.year, state.zda.month,  state.zda.day,
                   state.zda.hour, state.zda.minute, double(state.zda.second)};
    ReadSeconds(texts.zdaTime, t);
    return t;
  }
  return std::nullopt;
}

std::optional<float> Hdop(float hdop) { return hdop > 0 ? std::optional(hdop) : std::nullopt; }

}  // namespace

void KeepSentFields(const char* sentence) {
  const std::string_view text = sentence;
  if (text.size() < 7 || text[0] != '$' || !IsGnssTalker(sentence + 1)) return;
  for (const KeptField& kept : kKeptFields) {
    if (text.substr(3, 3) != kept.type) continue;
    const std::lock_guard lock(gKeptLock);
    gKept[int(kept.field)] = FieldOf(text, kept.index);
  }
}

void ForgetSentFields() {
  const std::lock_guard lock(gKeptLock);
  for (std::string& text : gKept) text.clear();
}

std::string SentFieldText(SentField field) {
  const std::lock_guard lock(gKeptLock);
  return gKept[int(field)];
}

SentTexts LatestSentTexts(std::string (&storage)[int(SentField::Count)]) {
  for (int i = 0; i < int(SentField::Count); ++i) storage[i] = SentFieldText(SentField(i));
  return {storage[int(SentField::GgaAltitude)], storage[int(SentField::RmcTime)],
          storage[int(SentField::ZdaTime)]};
}

PositionRecord RecordOfFix(double latitude, double longitude, const GpsState& state,
                           const SentTexts& texts, std::u16string_view source) {
  PositionRecord record;
  record.latitude = latitude;
  record.longitude = longitude;
  record.source = source;
  if (state.gga.tag[0]) {
    const char quality = state.gga.quality;
    record.quality = quality >= '0' && quality <= '9' ? quality - '0' : 0;
    record.satellites = state.gga.satellites;
    record.hdop = Hdop(state.gga.hdop);
    double altitude = 0;
    if (ReadDecimal(texts.ggaAltitude, altitude, record.altitudeDecimals))
      record.altitude = altitude;
  } else if (state.gns.tag[0]) {
    record.satellites = state.gns.satellites;
    record.hdop = Hdop(state.gns.hdop);
  }
  record.time = TimeOf(state, texts);
  // Only an error the receiver measured (GST, or a location service's) is shown as one;
  // HDOP × 5 m is too rough to be passed on as the fix's accuracy.
  const FixQuality quality = QualityOf(state);
  if (quality.measured) record.accuracy = quality.accuracy;
  return record;
}

// Every GpsState member under its own name, from the blocks' field tables, each
// block's members in the order they lie in it.
#include "tools/gps_state_json.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>

namespace {

template <typename Record>
void WriteRecord(JsonWriter& j, const Record& record);

template <NmeaRecord Record>
void WriteValue(JsonWriter& j, const Record& record) {
  WriteRecord(j, record);
}
void WriteValue(JsonWriter& j, char value) { j.Char(value); }
void WriteValue(JsonWriter& j, uint8_t value) { j.Int(value); }
void WriteValue(JsonWriter& j, int32_t value) { j.Int(value); }
void WriteValue(JsonWriter& j, float value) { j.Float(value); }
void WriteValue(JsonWriter& j, double value) { j.Double(value); }
// A tag or text: up to its first NUL.
template <std::size_t N>
void WriteValue(JsonWriter& j, const char (&text)[N]) {
  j.String(std::string_view(text, strnlen(text, N)));
}
template <typename T, std::size_t N>
void WriteValue(JsonWriter& j, const T (&values)[N]) {
  j.BeginArray();
  for (const T& value : values) WriteValue(j, value);
  j.EndArray();
}

template <typename Record, typename Member>
std::ptrdiff_t OffsetOf(const Record& record, Member Record::*member) {
  return reinterpret_cast<const char*>(&(record.*member)) - reinterpret_cast<const char*>(&record);
}

// A sentence may send a record's fields in another order than they lie in it
// (GSV's count before its number); the line keeps the record's own order.
template <typename Record>
void WriteRecord(JsonWriter& j, const Record& record) {
  j.BeginObject();
  std::ptrdiff_t written = -1;
  for (;;) {
    std::ptrdiff_t next = std::numeric_limits<std::ptrdiff_t>::max();
    ForEachNmeaMember<Record>([&](const char*, auto member) {
      const std::ptrdiff_t at = OffsetOf(record, member);
      if (at > written && at < next) next = at;
    });
    if (next == std::numeric_limits<std::ptrdiff_t>::max()) break;
    ForEachNmeaMember<Record>([&](const char* name, auto member) {
      if (OffsetOf(record, member) != next) return;
      j.Key(name);
      WriteValue(j, record.*member);
    });
    written = next;
  }
  j.EndObject();
}

}  // namespace

void WriteStateLine(JsonWriter& j, const GpsState& state, const GpsFixAnswer& fix) {
  j.BeginObject();
  j.Key("state");
  j.BeginObject();
  std::apply(
      [&](const auto&... block) {
        ((j.Key(block.name), WriteRecord(j, state.*block.member)), ...);
      },
      kGpsBlocks);
  j.Key("other");
  j.BeginObject();
  j.Key("text"), WriteValue(j, state.other.text);
  j.EndObject();
  j.EndObject();
  j.Key("fix");
  j.BeginObject();
  j.Key("latitude"), j.Double(fix.latitude);
  j.Key("longitude"), j.Double(fix.longitude);
  j.Key("valid"), j.Int(fix.valid);
  j.EndObject();
  j.EndObject();
}

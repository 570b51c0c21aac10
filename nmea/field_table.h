// The vocabulary of the GPS state's field tables: each sentence field, in order,
// names the member it fills and how it is converted. The parser, quarvel-decode's
// JSON and the fuzz target's comparison all walk the same tables.
#pragma once

#include <cstdint>
#include <tuple>

// How a field is converted; NmeaFieldCursor has a reader of each name.
enum class NmeaKind {
  kChar,
  kByte,
  kInt,
  kDouble,
  kFloat,
  kIntViaDouble,
  kDegrees,
  // A Byte that is also the count of the talker's constellation (SatellitesInView).
  kInViewCount,
  // The field's first characters into a char array, the rest of it NUL: "AAN".
  kLetters,
};

namespace nmea_table {

// Field 0, whose first six characters are the sentence tag.
template <typename Record>
struct TagField {
  const char* name;
  char (Record::*member)[6];
};

// One field into one member; a member that is an array takes one field per
// element, but for kLetters, whose array holds one field's characters.
template <NmeaKind K, typename Record, typename Member>
struct ValueField {
  const char* name;
  Member Record::*member;
};

// One hhmmss or ddmmyy field into three members.
template <typename Record, typename T>
struct TimeField {
  const char* names[3];
  T Record::*members[3];
};

// An array of records, each read from the fields that follow by its own table.
template <typename Record, typename Member>
struct RecordsField {
  const char* name;
  Member Record::*member;
};

template <NmeaKind K>
struct ValueKind {
  template <typename Record, typename Member>
  constexpr ValueField<K, Record, Member> operator()(const char* name,
                                                     Member Record::*member) const {
    return {name, member};
  }
};

// The words of a table line: Float("hdop", &GgaBlock::hdop).
inline constexpr ValueKind<NmeaKind::kChar> Char;
inline constexpr ValueKind<NmeaKind::kByte> Byte;
inline constexpr ValueKind<NmeaKind::kInt> Int;
inline constexpr ValueKind<NmeaKind::kDouble> Double;
inline constexpr ValueKind<NmeaKind::kFloat> Float;
inline constexpr ValueKind<NmeaKind::kIntViaDouble> IntViaDouble;
inline constexpr ValueKind<NmeaKind::kDegrees> Degrees;
inline constexpr ValueKind<NmeaKind::kInViewCount> InViewCount;
inline constexpr ValueKind<NmeaKind::kLetters> Letters;

template <typename Record>
constexpr TagField<Record> Tag(const char* name, char (Record::*member)[6]) {
  return {name, member};
}

template <typename Record, typename T>
constexpr TimeField<Record, T> Time(const char* first, T Record::*firstMember, const char* second,
                                    T Record::*secondMember, const char* third,
                                    T Record::*thirdMember) {
  return {{first, second, third}, {firstMember, secondMember, thirdMember}};
}

template <typename Record, typename Member>
constexpr RecordsField<Record, Member> Records(const char* name, Member Record::*member) {
  return {name, member};
}

template <typename Field, typename Visit>
constexpr void VisitMembers(const Field& field, Visit& visit) {
  visit(field.name, field.member);
}
template <typename Record, typename T, typename Visit>
constexpr void VisitMembers(const TimeField<Record, T>& field, Visit& visit) {
  for (int i = 0; i < 3; ++i) visit(field.names[i], field.members[i]);
}

}  // namespace nmea_table

// A record that has a field table: a block, or an entry of a block's array.
template <typename T>
concept NmeaRecord = requires {
  T::Fields();
};

// Calls visit(name, member) for every member that Record's table fills, in the
// order of the sentence's fields; a record member comes as a whole.
template <typename Record, typename Visit>
constexpr void ForEachNmeaMember(Visit&& visit) {
  std::apply([&](const auto&... field) { (nmea_table::VisitMembers(field, visit), ...); },
             Record::Fields());
}

// A block of the state that one sentence type fills.
template <typename State, typename Block>
struct NmeaBlock {
  const char* name;  // its key in diagnostics
  char type[4];      // the letters after the talker: "GGA"
  Block State::*member;
};
template <typename State, typename Block>
NmeaBlock(const char*, const char (&)[4], Block State::*) -> NmeaBlock<State, Block>;

// The in-place field cursor against the copied-field conversions, on every shape of field.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "nmea/cursor.h"
#include "nmea/fields.h"
#include "support/nmea_copied_fields.h"

namespace {

// Fields on both sides of every fast path's limits, and odd ones that must take the slow path.
const char* const kFields[] = {
    "",
    "0",
    "7",
    "08",
    "63",
    "137",
    "255",
    "256",
    "123456789",
    "1234567890",
    "2147483648",
    "-12",
    "+5",
    " 7",
    "\t7",
    "12a3",
    "0.9",
    "-0.0",
    "-0",
    "-",
    ".",
    "-.",
    ".5",
    "5.",
    "46.9",
    "-34.2",
    "1e3",
    "2E-2x",
    "1e",
    "0x10",
    "inf",
    "4807.038",
    "4807.",
    "01131.000",
    "0512.5",
    "00512.5",
    "12345.678",
    "5321.6802",
    "00630.3372",
    "12",
    "1",
    "12.5",
    "123456789012345",
    "1234567890123456",
    "12345678901.1234",
    "123456789012.12",
    "99999999999.9999",
    "99999999999999999999",
    "-4807.038",
    "4807.038.5",
    "092751.000",
    "123519",
    "12351",
    "1235",
    "1",
    "12a519",
    "1a",
    "T",
    "M",
    "A",
    "N",
    "AB",
    "abcdefghijklmnopqrstuvwxy",
    "12345678901234567890123",
    "1234567890123.45678901",
    "12345678901234567890",
    "1234567890123456789.",
    "000000000000000000001",
    "092751.0000000000000001",
};
// What follows the field: a next field, the '*', the end of the text.
const char* const kFollowers[] = {",Z,1", ",", "*47", "", ",,"};

struct Walked {
  std::string field;  // the field as the walk copies it out
  bool more;          // the walk goes on to a next field
  char next;          // first character of that next field ('\0' when empty)
};

Walked Walk(const std::string& text) {
  Walked w{"", false, '\0'};
  WalkNmeaFields(text.c_str(), 2, [&](int index, const char* field) {
    if (index == 0) w.field = field;
    if (index == 1) w.more = true, w.next = field[0];
  });
  return w;
}

// Reads the field with `read`, then checks the move to the next field.
template <typename Read>
void CheckMove(const std::string& text, const Walked& w, Read read) {
  NmeaFieldCursor cursor(text.c_str());
  EXPECT_EQ(read(cursor), w.more) << "whether a field follows in \"" << text << '"';
  if (!w.more) return;
  char next = 'x';
  cursor.Char(&next);
  EXPECT_EQ(next, w.next) << "next field after \"" << text << '"';
}

std::vector<std::string> Texts() {
  std::vector<std::string> texts;
  for (const char* field : kFields) {
    for (const char* follower : kFollowers) texts.push_back(std::string(field) + follower);
  }
  return texts;
}

TEST(NmeaCursor, NumbersMatchTheCopiedFieldConversions) {
  for (const std::string& text : Texts()) {
    const Walked w = Walk(text);
    const char* f = w.field.c_str();
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      int32_t v = -7;
      const bool more = c.Int(&v);
      EXPECT_EQ(v, NmeaReadInt(f)) << "Int of \"" << text << '"';
      return more;
    });
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      uint8_t v = 7;
      const bool more = c.Byte(&v);
      EXPECT_EQ(v, NmeaReadByte(f)) << "Byte of \"" << text << '"';
      return more;
    });
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      double v = -7;
      const bool more = c.Double(&v);
      EXPECT_EQ(std::bit_cast<uint64_t>(v), std::bit_cast<uint64_t>(NmeaReadDouble(f)))
          << "Double of \"" << text << "\": " << v << " against " << NmeaReadDouble(f);
      return more;
    });
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      float v = -7;
      const bool more = c.Float(&v);
      EXPECT_EQ(std::bit_cast<uint32_t>(v), std::bit_cast<uint32_t>(NmeaReadFloat(f)))
          << "Float of \"" << text << "\": " << v << " against " << NmeaReadFloat(f);
      return more;
    });
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      int32_t v = -7;
      const bool more = c.IntViaDouble(&v);
      EXPECT_EQ(v, NmeaReadIntViaDouble(f)) << "IntViaDouble of \"" << text << '"';
      return more;
    });
  }
}

TEST(NmeaCursor, DegreesTimesAndLettersMatchTheCopiedFieldConversions) {
  for (const std::string& text : Texts()) {
    const Walked w = Walk(text);
    const char* f = w.field.c_str();
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      double v = -7;
      const bool more = c.Degrees(&v);
      EXPECT_EQ(std::bit_cast<uint64_t>(v), std::bit_cast<uint64_t>(NmeaCoordToDegrees(f)))
          << "Degrees of \"" << text << "\": " << v << " against " << NmeaCoordToDegrees(f);
      return more;
    });
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      int32_t a = -7, b = -7, d = -7;
      const bool more = c.Time(&a, &b, &d);
      const NmeaTimePairs expected = NmeaReadTimePairs(f);
      EXPECT_EQ(a, expected.first) << "first pair of \"" << text << '"';
      EXPECT_EQ(b, expected.second) << "second pair of \"" << text << '"';
      EXPECT_EQ(d, expected.third) << "third pair of \"" << text << '"';
      return more;
    });
    CheckMove(text, w, [&](NmeaFieldCursor& c) {
      char v = 'x';
      const bool more = c.Char(&v);
      EXPECT_EQ(v, f[0]) << "Char of \"" << text << '"';
      return more;
    });
  }
}

TEST(NmeaCursor, TagKeepsSixCharactersAndSkipsTheRestOfFieldZero) {
  const struct {
    const char* text;
    bool more;
    char next;
    std::string tag;
  } cases[] = {
      {"$GPGGA,1", true, '1', "$GPGGA"},
      {"$GPGGAXY,2", true, '2', "$GPGGA"},
      {"$GPGGA*", false, '\0', "$GPGGA"},
      {"$GPGGA", false, '\0', "$GPGGA"},
      {"$GPGGAabcdefghijklmnopq,3", true, 'p', "$GPGGA"},  // field 0 cut at 20, the 21st skipped
      // A field 0 shorter than six: the tag ends with it and the walk goes on after it.
      {"$GP,4", true, '4', std::string("$GP\0\0\0", 6)},
      {"$G*", false, '\0', std::string("$G\0\0\0\0", 6)},
      {"", false, '\0', std::string(6, '\0')},
  };
  for (const auto& c : cases) {
    NmeaFieldCursor cursor(c.text);
    char tag[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(cursor.Tag(tag), c.more) << "whether a field follows in \"" << c.text << '"';
    EXPECT_EQ(std::string(tag, 6), c.tag) << "tag of \"" << c.text << '"';
    if (!c.more) continue;
    char next = 'x';
    cursor.Char(&next);
    EXPECT_EQ(next, c.next) << "next field after \"" << c.text << '"';
  }
}

}  // namespace

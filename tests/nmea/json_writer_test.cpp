// The decoder's JSON writer: separators, number formats and escaping of 8-bit text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tools/json_writer.h"

namespace {

TEST(JsonWriter, SeparatesMembersAndElements) {
  JsonWriter j;
  j.BeginObject();
  j.Key("a");
  j.Int(-3);
  j.Key("b");
  j.BeginArray();
  j.Int(1);
  j.BeginObject();
  j.EndObject();
  j.BeginArray();
  j.EndArray();
  j.EndArray();
  j.Key("c");
  j.Char('\0');
  j.EndObject();
  EXPECT_EQ(j.Text(), R"({"a":-3,"b":[1,{},[]],"c":""})");
  j.Clear();
  j.Int(7);
  EXPECT_EQ(j.Text(), "7") << "Clear starts a fresh line";
}

TEST(JsonWriter, NumbersKeepEveryDigitAndNonFiniteBecomesNull) {
  const struct {
    const char* name;
    void (*write)(JsonWriter&);
    const char* expected;
  } cases[] = {
      {"double 0.1", [](JsonWriter& j) { j.Double(0.1); }, "0.10000000000000001"},
      {"double 48.1173", [](JsonWriter& j) { j.Double(48 + 7.038 * (1.0 / 60)); }, "48.1173"},
      {"double 1e20", [](JsonWriter& j) { j.Double(1e20); }, "1e+20"},
      {"double -0", [](JsonWriter& j) { j.Double(-0.0); }, "-0"},
      {"float 0.9", [](JsonWriter& j) { j.Float(0.9f); }, "0.899999976"},
      {"float 545", [](JsonWriter& j) { j.Float(545.0f); }, "545"},
      {"double inf", [](JsonWriter& j) { j.Double(HUGE_VAL); }, "null"},
      {"double nan", [](JsonWriter& j) { j.Double(std::nan("")); }, "null"},
      {"float -inf", [](JsonWriter& j) { j.Float(-HUGE_VALF); }, "null"},
  };
  for (const auto& c : cases) {
    JsonWriter j;
    c.write(j);
    EXPECT_EQ(j.Text(), c.expected) << c.name;
  }
}

TEST(JsonWriter, EscapesQuotesControlsAndHighBytes) {
  const struct {
    std::string bytes;
    const char* expected;
  } cases[] = {
      {"$GPGGA,1*", R"("$GPGGA,1*")"},
      {"a\"b\\c", R"("a\"b\\c")"},
      {"\r\n\t", R"("\r\n\t")"},
      {std::string("\x01\x1f\x7f", 3), R"("\u0001\u001F\u007F")"},
      {"\x80\xb0\xff", R"("\u0080\u00B0\u00FF")"},
  };
  for (const auto& c : cases) {
    JsonWriter j;
    j.String(c.bytes);
    EXPECT_EQ(j.Text(), c.expected) << "bytes of length " << c.bytes.size();
  }
}

}  // namespace

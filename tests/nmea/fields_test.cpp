// Field length and the leading-number conversions that every parser shares.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "nmea/fields.h"
#include "support/nmea_copied_fields.h"

namespace {

constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();
constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NmeaFields, FieldLengthStopsAtSeparatorStarEndOrTwenty) {
  const struct {
    const char* text;
    std::size_t expected;
  } cases[] = {
      {"123519,4807.038", 6},
      {",N", 0},
      {"*", 0},
      {"", 0},
      {"M*47", 1},
      {"abcdefghijklmnopqrst", 20},
      {"abcdefghijklmnopqrstuvwxy,1", 20},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NmeaFieldLength(c.text), c.expected) << "text \"" << c.text << '"';
}

TEST(NmeaFields, IntegersReadTheLeadingPartAndSaturate) {
  const struct {
    const char* field;
    int32_t expected;
  } cases[] = {
      {"545.4", 545},
      {"08", 8},
      {"", 0},
      {"M", 0},
      {"-12", -12},
      {" \t7", 7},
      {"+5", 5},
      {"12a3", 12},
      {"2147483647", kMaxInt},
      {"99999999999999999999", kMaxInt},
      {"-2147483648", kMinInt},
      {"-99999999999999999999", kMinInt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NmeaReadInt(c.field), c.expected) << "field \"" << c.field << '"';
}

TEST(NmeaFields, BytesKeepTheLowEightBits) {
  const struct {
    const char* field;
    int expected;
  } cases[] = {
      {"08", 8}, {"255", 255}, {"256", 0}, {"300", 44}, {"-1", 255}, {"99999999999", 255}, {"", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NmeaReadByte(c.field), c.expected) << "field \"" << c.field << '"';
}

TEST(NmeaFields, DoublesReadTheLeadingDecimalNumber) {
  const struct {
    const char* field;
    double expected;
  } cases[] = {
      {"0.9", 0.9},
      {"46.9", 46.9},
      {".5", 0.5},
      {"5.", 5.0},
      {"-2.5", -2.5},
      {"+2.5", 2.5},
      {"  3.25", 3.25},
      {"1e3", 1000.0},
      {"1e", 1.0},
      {"2E-2x", 0.02},
      {"4807.038", 4807.038},
      {"abc", 0.0},
      {".", 0.0},
      {"-", 0.0},
      {"1e999", kInf},
      {"-1e999", -kInf},
      {"1e-999", 0.0},
      {"0x10", 0.0},
      {"inf", 0.0},
      {"12345678901234567890", 12345678901234567890.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NmeaReadDouble(c.field), c.expected) << "field \"" << c.field << '"';
}

TEST(NmeaFields, FloatsAreRoundedFromDouble) {
  EXPECT_EQ(NmeaReadFloat("0.9"), static_cast<float>(0.9));
  EXPECT_EQ(NmeaReadFloat("46.9"), static_cast<float>(46.9));
  EXPECT_EQ(NmeaReadFloat("T"), 0.0f);
  EXPECT_EQ(NmeaReadFloat("1e300"), std::numeric_limits<float>::infinity());
}

TEST(NmeaFields, IntegerViaDoubleTruncatesTowardZeroAndSaturates) {
  const struct {
    const char* field;
    int32_t expected;
  } cases[] = {
      {"12.9", 12},  {"-12.9", -12},    {"0012", 12},       {"", 0},
      {"1e3", 1000}, {"1e20", kMaxInt}, {"-1e20", kMinInt}, {"1e999", kMaxInt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NmeaReadIntViaDouble(c.field), c.expected) << "field \"" << c.field << '"';
  }
}

TEST(NmeaFields, TimePairsBeyondTheFieldAreZero) {
  const struct {
    const char* field;
    int32_t first, second, third;
  } cases[] = {
      {"123519", 12, 35, 19}, {"123519.00", 12, 35, 19}, {"1235", 12, 35, 0},
      {"123", 12, 3, 0},      {"12", 12, 0, 0},          {"", 0, 0, 0},
      {"230394", 23, 3, 94},  {"ab3519", 0, 35, 19},
  };
  for (const auto& c : cases) {
    const NmeaTimePairs got = NmeaReadTimePairs(c.field);
    EXPECT_EQ(got.first, c.first) << "first pair of \"" << c.field << '"';
    EXPECT_EQ(got.second, c.second) << "second pair of \"" << c.field << '"';
    EXPECT_EQ(got.third, c.third) << "third pair of \"" << c.field << '"';
  }
}

TEST(NmeaFields, CoordinatesBecomeDegreesPlusMinutesTimesOneSixtieth) {
  constexpr double kSixtieth = 1.0 / 60;
  const struct {
    const char* field;
    double expected;
    double approximately;
  } cases[] = {
      {"4807.038", 48 + 7.038 * kSixtieth, 48.1173},
      {"01131.000", 11 + 31.0 * kSixtieth, 11.516666666666667},
      {"12345.678", 123 + 45.678 * kSixtieth, 123.7613},
      {"0512.5", 5 + 12.5 * kSixtieth, 5.208333333333333},
      {"00512.5", 5 + 12.5 * kSixtieth, 5.208333333333333},
      {"4807", 48 + 7.0 * kSixtieth, 48.11666666666667},
      {"7.5", 7.5 * kSixtieth, 0.125},
      {"", 0.0, 0.0},
  };
  for (const auto& c : cases) {
    const double got = NmeaCoordToDegrees(c.field);
    EXPECT_EQ(got, c.expected) << "field \"" << c.field << "\": bit-exact result";
    EXPECT_NEAR(got, c.approximately, 1e-9) << "field \"" << c.field << '"';
  }
}

TEST(NmeaFields, WalkCutsLongFieldsAndShiftsTheRest) {
  std::string seen;
  WalkNmeaFields("$A,1234567890123456789012345,B,C*D,E", 10,
                 [&](int index, const char* f) { seen += std::to_string(index) + "=" + f + ";"; });
  EXPECT_EQ(seen, "0=$A;1=12345678901234567890;2=2345;3=B;4=C;");

  seen.clear();
  WalkNmeaFields("$A,1,2,3,4", 3,
                 [&](int index, const char* f) { seen += std::to_string(index) + "=" + f + ";"; });
  EXPECT_EQ(seen, "0=$A;1=1;2=2;") << "the walk ends at its maximum";
}

}  // namespace

// FormatNumber: the worked values, the edges of its two notations, and a large
// random set checked against a formulation built on the C library's printf.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "locator/position_text.h"

namespace {

std::string Number(double value) {
  char16_t text[kNumberTextSize];
  const std::size_t length = FormatNumber(value, text);
  std::string narrow;
  for (std::size_t i = 0; text[i]; ++i) narrow += static_cast<char>(text[i]);
  EXPECT_EQ(length, narrow.size()) << "returned length for " << narrow;
  return narrow;
}

struct NumberCase {
  double value;
  const char* text;
};

TEST(FormatNumber, WorkedValues) {
  const NumberCase cases[] = {
      {45.347, "45.347"}, {45.0, "45."},        {0.5, "0.5"},           {0.0, "0."},
      {0.05, "5.e-002"},  {55.7558, "55.7558"}, {-22.9068, "-22.9068"}, {55.755812345, "55.755812"},
  };
  for (const auto& c : cases) EXPECT_EQ(Number(c.value), c.text) << "value " << c.value;
}

TEST(FormatNumber, EdgesOfTheNotations) {
  const NumberCase cases[] = {
      // Fixed from 0.1 up to (not including) 1e8, judged after rounding.
      {0.1, "0.1"},
      {0.12345678, "0.12345678"},
      {0.123456785, "0.12345678"},  // the double lies just below the half
      {1.0, "1."},
      {10.0, "10."},
      {100.25, "100.25"},
      {1234567.891, "1234567.9"},
      {9999999.95, "9999999.9"},  // just below the half as a double
      {99999999.4, "99999999."},
      {1e8, "1.e+008"},
      {123456789.0, "1.2345679e+008"},
      {0.09999999949, "9.9999999e-002"},
      {1e-5, "1.e-005"},
      {-0.05, "-5.e-002"},
      {-1e-300, "-1.e-300"},
      {1e300, "1.e+300"},
      {DBL_MAX, "1.7976931e+308"},
      {5e-324, "4.9406565e-324"},
      {-1.2345678e-308, "-1.2345678e-308"},  // the longest text, 15 characters
      // Rounding that crosses a power of ten changes the notation.
      {99999999.5, "1.e+008"},
      {0.099999999995, "0.1"},
      {0.999999995, "1."},
      {9.999999950000001e-05, "1.e-004"},
      {9.99999995e-05, "9.9999999e-005"},  // the double lies just below the half
      // Exact halves go away from zero, as the handheld runtime did.
      {12345678.5, "12345679."},
      {99999998.5, "99999999."},
      {-12345678.5, "-12345679."},
      {0.0, "0."},
      {-0.0, "0."},
  };
  for (const auto& c : cases) EXPECT_EQ(Number(c.value), c.text) << "value " << c.value;
}

TEST(FormatNumber, NonFiniteValuesStayPrintable) {
  EXPECT_EQ(Number(INFINITY), "inf");
  EXPECT_EQ(Number(-INFINITY), "-inf");
  EXPECT_EQ(Number(NAN), "nan");
}

// The same format by another road: glibc's printf (exact, ties to even) gives
// the eight digits, an exact half is moved away from zero by printing the next
// double instead, and the fixed form is printf's own %f of the rounded value.
std::string ExpectedNumber(double value) {
  if (value == 0) return "0.";
  const double magnitude = std::fabs(value);
  char exact[900];
  std::snprintf(exact, sizeof exact, "%.800e", magnitude);
  const char* tail = exact + 9;  // digits after the eighth significant one
  bool half = *tail == '5';
  for (const char* p = tail + 1; half && *p != 'e'; ++p) half = *p == '0';
  char scientific[32];
  std::snprintf(scientific, sizeof scientific, "%.7e",
                half ? std::nextafter(magnitude, INFINITY) : magnitude);
  const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);

  std::string text = value < 0 ? "-" : "";
  std::string body;
  if (exponent >= -1 && exponent <= 7) {
    char fixed[64];
    std::snprintf(fixed, sizeof fixed, "%.*f", exponent < 0 ? 8 : 7 - exponent,
                  std::strtod(scientific, nullptr));
    body = fixed;
    if (body.find('.') == std::string::npos) body += '.';
    while (body.back() == '0') body.pop_back();
    return text + body;
  }
  body.assign(scientific, std::strchr(scientific, 'e'));
  while (body.back() == '0') body.pop_back();
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return text + body + suffix;
}

TEST(FormatNumber, AgreesWithPrintfOverRandomDoubles) {
  std::mt19937_64 random(20261207);
  int checked = 0, failures = 0;
  auto check = [&](double value) {
    if (!std::isfinite(value)) return;
    ++checked;
    const std::string got = Number(value), expected = ExpectedNumber(value);
    if (got != expected && ++failures <= 20) {
      ADD_FAILURE() << "value " << std::hexfloat << value << std::defaultfloat << " (" << value
                    << "): got " << got << ", expected " << expected;
    }
    EXPECT_LE(got.size(), 15u) << "value " << value;
  };
  // Every magnitude and both signs: raw bit patterns.
  for (int i = 0; i < 40000; ++i) {
    const std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    check(value);
  }
  // Degrees and minutes as a receiver reports them.
  std::uniform_real_distribution<double> degrees(-180.0, 180.0);
  for (int i = 0; i < 40000; ++i) check(degrees(random));
  // Around each power of ten, where rounding may change the notation, and
  // eight-digit values with an exact half behind them.
  for (int power = -323; power <= 308; ++power) {
    const double base = std::pow(10.0, power);
    for (double factor : {0.999999995, 0.9999999949, 0.99999999500001, 1.0, 1.00000005}) {
      check(base * factor);
      check(-base * factor);
      check(std::nextafter(base * factor, 0.0));
      check(std::nextafter(base * factor, INFINITY));
    }
  }
  std::uniform_int_distribution<std::int64_t> eightDigits(10000000, 99999999);
  for (int i = 0; i < 5000; ++i) {
    const double half = static_cast<double>(eightDigits(random)) + 0.5;
    check(half);
    check(half * 10.0);  // 1234567855: still an exact half at eight digits
    check(-half * 1000.0);
  }
  EXPECT_GT(checked, 100000);
  EXPECT_EQ(failures, 0) << failures << " of " << checked << " values differed";
}

}  // namespace

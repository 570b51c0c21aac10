// Open Location Code encoding to 10 digits: five pairs of base-20 digits, latitude first.
// Degrees become whole units of the finest grid cell first (2.5e7 and 8.192e6 a degree),
// as the reference implementations do, so that no later floating-point step can misplace
// a digit.
#include "locator/plus_code.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr char kAlphabet[] = "23456789CFGHJMPQRVWX";
constexpr std::int64_t kBase = 20;
constexpr int kPairs = 5;
constexpr std::size_t kSeparatorPosition = 8;
constexpr std::int64_t kLatitudeUnits = 25'000'000;  // per degree: 20^3 × 5^5
constexpr std::int64_t kLongitudeUnits = 8'192'000;  // per degree: 20^3 × 4^5
// What the five grid digits beyond the tenth would add: left out of a 10-digit code.
constexpr std::int64_t kLatitudeGrid = 3125;   // 5^5
constexpr std::int64_t kLongitudeGrid = 1024;  // 4^5

// Whole units below degrees. A position whose decimal text lies on a cell's edge may be a
// hair short of it as a double (2.217125 × 2.5e7 is 55428124.99999999): counted in
// millionths of a unit first, it still begins the cell, as it reads.
std::int64_t FloorUnits(double degrees, std::int64_t perDegree) {
  constexpr std::int64_t kMillion = 1'000'000;
  const std::int64_t micro = std::llround(degrees * static_cast<double>(perDegree * kMillion));
  return micro >= 0 ? micro / kMillion : -((-micro + kMillion - 1) / kMillion);
}

// Units north of the south pole; the pole itself joins the cell below it, so the code
// names a cell that holds it.
std::int64_t LatitudeUnits(double latitude) {
  constexpr std::int64_t kSpan = 180 * kLatitudeUnits;
  if (!(latitude < 90)) return kSpan - 1;
  if (!(latitude > -90)) return 0;
  const std::int64_t north = FloorUnits(latitude, kLatitudeUnits) + 90 * kLatitudeUnits;
  return north < 0 ? 0 : (north >= kSpan ? kSpan - 1 : north);
}

// Units east of 180°W, wrapped around the globe (180°E is 180°W).
std::int64_t LongitudeUnits(double longitude) {
  constexpr std::int64_t kSpan = 360 * kLongitudeUnits;
  const double wrapped = std::remainder(longitude, 360.0);  // [-180, 180]
  const std::int64_t east = (FloorUnits(wrapped, kLongitudeUnits) + 180 * kLongitudeUnits) % kSpan;
  return east < 0 ? east + kSpan : east;
}

}  // namespace

std::string EncodePlusCode(double latitude, double longitude) {
  if (std::isnan(latitude) || !std::isfinite(longitude)) return {};
  std::int64_t lat = LatitudeUnits(latitude) / kLatitudeGrid;
  std::int64_t lon = LongitudeUnits(longitude) / kLongitudeGrid;
  char digits[2 * kPairs];
  for (int pair = kPairs - 1; pair >= 0; --pair) {
    digits[2 * pair] = kAlphabet[lat % kBase];
    digits[2 * pair + 1] = kAlphabet[lon % kBase];
    lat /= kBase;
    lon /= kBase;
  }
  std::string code(digits, kSeparatorPosition);
  code.push_back('+');
  code.append(digits + kSeparatorPosition, sizeof digits - kSeparatorPosition);
  return code;
}

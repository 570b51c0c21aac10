// UTM/UPS and MGRS through GeographicLib, which owns the zone rules and the projection.
#include "locator/grid_reference.h"

#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>

#include <charconv>
#include <cmath>
#include <exception>

namespace {

struct GridPoint {
  int zone = GeographicLib::UTMUPS::INVALID;  // 0 for UPS
  bool north = true;
  double easting = 0, northing = 0;
};

// The standard zone: UTM with the Norway and Svalbard exceptions, UPS near the poles.
GridPoint Project(double latitude, double longitude) {
  GridPoint point;
  try {
    GeographicLib::UTMUPS::Forward(latitude, longitude, point.zone, point.north, point.easting,
                                   point.northing);
  } catch (const std::exception&) {  // GeographicErr: latitude outside ±90
    point.zone = GeographicLib::UTMUPS::INVALID;
  }
  if (!std::isfinite(point.easting) || !std::isfinite(point.northing)) {
    point.zone = GeographicLib::UTMUPS::INVALID;
  }
  return point;
}

std::string Mgrs(const GridPoint& point, double latitude) {
  if (point.zone == GeographicLib::UTMUPS::INVALID) return {};
  std::string mgrs;
  try {
    GeographicLib::MGRS::Forward(point.zone, point.north, point.easting, point.northing, latitude,
                                 5, mgrs);
  } catch (const std::exception&) {
    return {};
  }
  return mgrs;
}

// Whole metres rounded as GeoConvert rounds them (printf's %.0f).
void AppendMetres(std::string& text, double metres) {
  char digits[32];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, metres, std::chars_format::fixed, 0);
  text.push_back(' ');
  text.append(digits, result.ptr);
}

}  // namespace

std::string FormatUtmUps(double latitude, double longitude) {
  const GridPoint point = Project(latitude, longitude);
  // The band letter is MGRS's: the same band MGRS itself names for the point, also
  // where a band edge and the rounding disagree.
  const std::string mgrs = Mgrs(point, latitude);
  if (mgrs.empty() || mgrs == "INVALID") return {};
  std::string text;
  if (point.zone != 0) text = std::to_string(point.zone);
  text.push_back(mgrs[point.zone != 0 ? 2 : 0]);
  AppendMetres(text, point.easting);
  AppendMetres(text, point.northing);
  return text;
}

std::string FormatMgrs(double latitude, double longitude) {
  std::string mgrs = Mgrs(Project(latitude, longitude), latitude);
  return mgrs == "INVALID" ? std::string() : mgrs;
}

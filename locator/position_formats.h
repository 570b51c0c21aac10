// The forms a found position can be copied in, picked by name (`--format NAME`).
//
//   PositionRecord fix{.latitude = -22.9068, .longitude = -43.1729, .source = u"COM1:"};
//   if (auto format = FindPositionFormat(u"mgrs")) text = FormatPosition(*format, fix);
//   // text == u"23KPQ8739465634"
//
// `ddm` and `url` are the two historical lines (FormatCoordinates, FormatMapUrl) and stay
// exact; the others are written here from the record alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "quarvel_map_host.h"

enum class PositionFormat : std::uint8_t {
  Ddm,   // N22°54.408 W43°10.373 (FormatCoordinates)
  Url,   // http://HOST/quarvel/?lat=-22.9068&lon=-43.1729 (FormatMapUrl)
  Dd,    // -22.906800, -43.172900
  Dms,   // 22°54'24.5"S 43°10'22.4"W
  Utm,   // 23K 687395 7465634; beyond UTM's latitudes UPS: Z 2353450 1646550
  Mgrs,  // 23KPQ8739465634
  Plus,  // 589R3RVG+7R (Open Location Code, 10 digits)
  Geo,   // geo:-22.906800,-43.172900;u=4.5 (RFC 5870; u= only with an accuracy)
  Osm,   // https://www.openstreetmap.org/?mlat=..&mlon=..#map=17/../..
  Json,  // {"lat":-22.9068,"lon":-43.1729,"alt":11.5,"time":"2024-05-01T12:34:56Z",...}
};

// The format of that name (ASCII letters in any case), or none for an unknown name.
std::optional<PositionFormat> FindPositionFormat(std::u16string_view name);

// The name `--format` takes for a format ("ddm", "url", ...).
const char16_t* PositionFormatName(PositionFormat format);

// Every name in table order joined by separator, for usage and error texts:
// "ddm, url, dd, dms, utm, mgrs, plus, geo, osm, json".
std::u16string PositionFormatNames(std::u16string_view separator = u", ");

// The receiver's UTC date and time as it sent them. RMC's two-digit year is 2000 + yy;
// ZDA sends four digits.
struct ReceiverTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0;
  double second = 0;       // 7.25 for "07.25"
  int secondDecimals = 0;  // digits after the point as sent (0 to 3 written)
};

// What the formats need of one fix. Only latitude and longitude are needed by every
// format; the rest feeds `json` (and accuracy also `geo`).
struct PositionRecord {
  double latitude = 0;             // signed decimal degrees, south negative, full precision
  double longitude = 0;            // signed decimal degrees, west negative
  std::optional<double> altitude;  // metres above mean sea level (GGA), when sent
  int altitudeDecimals = 0;        // its digits after the point as sent ("11.50" is 2)
  std::optional<ReceiverTime> time;
  int quality = 0;     // GGA's fix quality digit as a number (1 GPS, 2 DGPS, 4 RTK, ...)
  int satellites = 0;  // satellites in use
  std::optional<float> hdop;
  std::optional<double> accuracy;  // estimated horizontal error in metres
  std::u16string_view source;      // the port text the fix came from
};

// What the `url` format takes beyond the position.
struct MapUrlChoice {
  const char16_t* mapType = u"";  // the settings' map letter; empty adds no t=
  bool liteMap = false;
  const char16_t* host = kMapHost;  // name[:port][/path], checked by the caller
};

// The one line for the format. Empty for a position off the globe (latitude beyond ±90,
// longitude beyond ±180, or not a number) in every format but the two historical ones,
// which write whatever they are given as they always did.
std::u16string FormatPosition(PositionFormat format, const PositionRecord& position,
                              const MapUrlChoice& map = {});

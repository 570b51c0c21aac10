// The position formats by name, and the line each one makes of a fix.
#include "locator/position_formats.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/utf8.h"
#include "locator/grid_reference.h"
#include "locator/plus_code.h"
#include "locator/position_text.h"

namespace {

bool IsOnTheGlobe(double latitude, double longitude) {
  return std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;  // false for NaN
}

void AppendAscii(std::u16string& text, std::string_view ascii) {
  for (char c : ascii) text.push_back(static_cast<char16_t>(c));
}

// value with exactly decimals digits after the point; a value that rounds to zero
// loses its minus sign ("-0.000000" would read as a hemisphere).
void AppendFixed(std::u16string& text, double value, int decimals) {
  char digits[400];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
  std::string_view number(digits, static_cast<std::size_t>(result.ptr - digits));
  if (number.starts_with('-') && number.find_first_of("123456789") == std::string_view::npos) {
    number.remove_prefix(1);
  }
  AppendAscii(text, number);
}

// The shortest text that reads back as the same double (JSON's full precision).
void AppendShortest(std::u16string& text, double value) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  AppendAscii(text, {digits, static_cast<std::size_t>(result.ptr - digits)});
}

void AppendShortest(std::u16string& text, float value) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  AppendAscii(text, {digits, static_cast<std::size_t>(result.ptr - digits)});
}

// Metres to the decimetre, a whole number without its ".0": "4.5", "12".
void AppendMetres(std::u16string& text, double metres) {
  const double tenths = std::round(metres * 10);
  AppendFixed(text, tenths / 10, std::fmod(tenths, 10) == 0 ? 0 : 1);
}

// "-22.906800, -43.172900": the decimal degrees of dd, geo and osm.
void AppendDegrees(std::u16string& text, double degrees) { AppendFixed(text, degrees, 6); }

std::u16string Dd(const PositionRecord& p) {
  std::u16string text;
  AppendDegrees(text, p.latitude);
  text += u", ";
  AppendDegrees(text, p.longitude);
  return text;
}

// value in decimal, at least width digits (zeros in front).
void AppendInteger(std::u16string& text, long long value, std::size_t width = 1) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto count = static_cast<std::size_t>(result.ptr - digits);
  if (count < width) text.append(width - count, u'0');
  AppendAscii(text, {digits, count});
}

// 22°54'24.5"S: rounded once, to tenths of a second, so 59.95" carries into the minute
// (and 59' into the degree) instead of reading 60.0".
void AppendDms(std::u16string& text, double degrees, char16_t positive, char16_t negative) {
  const long long tenths = std::llround(std::fabs(degrees) * 36000);
  AppendInteger(text, tenths / 36000);
  text.push_back(u'\u00B0');
  AppendInteger(text, tenths / 600 % 60, 2);
  text.push_back(u'\'');
  AppendInteger(text, tenths / 10 % 60, 2);
  text.push_back(u'.');
  AppendInteger(text, tenths % 10);
  text.push_back(u'"');
  text.push_back(degrees < 0 && tenths != 0 ? negative : positive);
}

std::u16string Dms(const PositionRecord& p) {
  std::u16string text;
  AppendDms(text, p.latitude, u'N', u'S');
  text.push_back(u' ');
  AppendDms(text, p.longitude, u'E', u'W');
  return text;
}

std::u16string Ascii(const std::string& ascii) {
  std::u16string text;
  AppendAscii(text, ascii);
  return text;
}

// RFC 5870: WGS 84 is the default CRS, so only the uncertainty is added.
std::u16string Geo(const PositionRecord& p) {
  std::u16string text = u"geo:";
  AppendDegrees(text, p.latitude);
  text.push_back(u',');
  AppendDegrees(text, p.longitude);
  if (p.accuracy && std::isfinite(*p.accuracy) && *p.accuracy >= 0) {
    text += u";u=";
    AppendMetres(text, *p.accuracy);
  }
  return text;
}

std::u16string Osm(const PositionRecord& p) {
  std::u16string lat, lon;
  AppendDegrees(lat, p.latitude);
  AppendDegrees(lon, p.longitude);
  return u"https://www.openstreetmap.org/?mlat=" + lat + u"&mlon=" + lon + u"#map=17/" + lat +
         u"/" + lon;
}

// A JSON string: quote, backslash and control characters escaped, a lone surrogate
// (which no UTF-8 reader could take) as U+FFFD.
void AppendJsonString(std::u16string& text, std::u16string_view value) {
  constexpr char kHex[] = "0123456789abcdef";
  text.push_back(u'"');
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    const bool pair =
        utf8::IsHighSurrogate(c) && i + 1 < value.size() && utf8::IsLowSurrogate(value[i + 1]);
    if (pair) {
      text.append(value.substr(i++, 2));
    } else if (utf8::IsSurrogate(c)) {
      text += u"\\ufffd";
    } else if (c == u'"' || c == u'\\') {
      text.push_back(u'\\');
      text.push_back(c);
    } else if (c == u'\n') {
      text += u"\\n";
    } else if (c == u'\r') {
      text += u"\\r";
    } else if (c == u'\t') {
      text += u"\\t";
    } else if (c < 0x20) {
      text += u"\\u00";
      text.push_back(static_cast<char16_t>(kHex[c >> 4]));
      text.push_back(static_cast<char16_t>(kHex[c & 0xF]));
    } else {
      text.push_back(c);
    }
  }
  text.push_back(u'"');
}

bool IsPlausible(const ReceiverTime& t) {
  return t.year >= 0 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= 31 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
         t.second >= 0 && t.second < 61;  // 60: a leap second
}

// "2024-05-01T12:34:56.25Z", the seconds with the decimals the receiver sent.
void AppendIsoTime(std::u16string& text, const ReceiverTime& t) {
  text.push_back(u'"');
  AppendInteger(text, t.year, 4);
  text.push_back(u'-');
  AppendInteger(text, t.month, 2);
  text.push_back(u'-');
  AppendInteger(text, t.day, 2);
  text.push_back(u'T');
  AppendInteger(text, t.hour, 2);
  text.push_back(u':');
  AppendInteger(text, t.minute, 2);
  text.push_back(u':');
  std::u16string second;
  AppendFixed(second, t.second, t.secondDecimals < 0 ? 0 : std::min(t.secondDecimals, 3));
  if (second.find(u'.') == 1 || second.size() == 1) text.push_back(u'0');
  text += second;
  text += u"Z\"";
}

// One line of JSON; a value the receiver did not send (or sent as nonsense) is null.
std::u16string Json(const PositionRecord& p) {
  std::u16string text = u"{\"lat\":";
  AppendShortest(text, p.latitude);
  text += u",\"lon\":";
  AppendShortest(text, p.longitude);
  text += u",\"alt\":";
  if (p.altitude && std::isfinite(*p.altitude)) {
    AppendFixed(text, *p.altitude, std::clamp(p.altitudeDecimals, 0, 9));
  } else {
    text += u"null";
  }
  text += u",\"time\":";
  if (p.time && IsPlausible(*p.time)) {
    AppendIsoTime(text, *p.time);
  } else {
    text += u"null";
  }
  text += u",\"quality\":";
  AppendInteger(text, p.quality);
  text += u",\"satellites\":";
  AppendInteger(text, p.satellites);
  text += u",\"hdop\":";
  if (p.hdop && std::isfinite(*p.hdop) && *p.hdop >= 0) {
    AppendShortest(text, *p.hdop);
  } else {
    text += u"null";
  }
  text += u",\"accuracy\":";
  if (p.accuracy && std::isfinite(*p.accuracy) && *p.accuracy >= 0) {
    AppendMetres(text, *p.accuracy);
  } else {
    text += u"null";
  }
  text += u",\"source\":";
  AppendJsonString(text, p.source);
  text.push_back(u'}');
  return text;
}

std::u16string HistoricalLine(PositionFormat format, const PositionRecord& p,
                              const MapUrlChoice& map) {
  if (format == PositionFormat::Ddm) {
    char16_t text[kCoordinatesTextSize];
    FormatCoordinates(p.latitude, p.longitude, text);
    return text;
  }
  char16_t url[kMapUrlSize];
  FormatMapUrl(p.latitude, p.longitude, map.mapType, map.liteMap, url, map.host);
  return url;
}

}  // namespace

std::u16string FormatPosition(PositionFormat format, const PositionRecord& position,
                              const MapUrlChoice& map) {
  if (format == PositionFormat::Ddm || format == PositionFormat::Url) {
    return HistoricalLine(format, position, map);
  }
  if (!IsOnTheGlobe(position.latitude, position.longitude)) return {};
  switch (format) {
    case PositionFormat::Dd: return Dd(position);
    case PositionFormat::Dms: return Dms(position);
    case PositionFormat::Utm: return Ascii(FormatUtmUps(position.latitude, position.longitude));
    case PositionFormat::Mgrs: return Ascii(FormatMgrs(position.latitude, position.longitude));
    case PositionFormat::Plus: return Ascii(EncodePlusCode(position.latitude, position.longitude));
    case PositionFormat::Geo: return Geo(position);
    case PositionFormat::Osm: return Osm(position);
    case PositionFormat::Json: return Json(position);
    default: return {};
  }
}

// The position formats' names, apart from the lines they make, so that QuarvelConfig's
// list links the names without GeographicLib.
#include "common/ascii_case.h"
#include "locator/position_formats.h"

namespace {

struct FormatEntry {
  PositionFormat format;
  const char16_t* name;
};

// The order of the usage text and of the configuration forms' list.
constexpr FormatEntry kFormats[] = {
    {PositionFormat::Ddm, u"ddm"},   {PositionFormat::Url, u"url"}, {PositionFormat::Dd, u"dd"},
    {PositionFormat::Dms, u"dms"},   {PositionFormat::Utm, u"utm"}, {PositionFormat::Mgrs, u"mgrs"},
    {PositionFormat::Plus, u"plus"}, {PositionFormat::Geo, u"geo"}, {PositionFormat::Osm, u"osm"},
    {PositionFormat::Json, u"json"},
};

}  // namespace

std::optional<PositionFormat> FindPositionFormat(std::u16string_view name) {
  for (const FormatEntry& entry : kFormats) {
    if (EqualsIgnoringAsciiCase(name, entry.name)) return entry.format;
  }
  return std::nullopt;
}

const char16_t* PositionFormatName(PositionFormat format) {
  for (const FormatEntry& entry : kFormats) {
    if (entry.format == format) return entry.name;
  }
  return u"";
}

std::u16string PositionFormatNames(std::u16string_view separator) {
  std::u16string names;
  for (const FormatEntry& entry : kFormats) {
    if (!names.empty()) names += separator;
    names += entry.name;
  }
  return names;
}

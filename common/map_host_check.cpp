// The map host rule, shared with the build's check through quarvel_map_host.h.
#include "common/map_host_check.h"

#include <regex>
#include <string>

#include "quarvel_map_host.h"

bool IsMapHost(std::u16string_view host) {
  if (host.size() > kMapHostMaxUnits) return false;
  std::string ascii;
  for (const char16_t unit : host) {
    if (unit > 0x7F) return false;
    ascii += char(unit);
  }
  static const std::regex rule(kMapHostPattern);
  return std::regex_match(ascii, rule);
}

// Whether a text may stand as the map host of a URL: the rule the build setting
// QUARVEL_MAP_HOST is checked by, applied to --map-host and settings.ini's map host.
#pragma once

#include <string_view>

// name[:port][/path] (an IPv6 address in brackets), of letters, digits and . - _ ~
// only, at most kMapHostMaxUnits long.
bool IsMapHost(std::u16string_view host);

// The texts a position becomes: a number, the coordinates line and the map URL.
#pragma once

#include <cstddef>

#include "quarvel_map_host.h"

// The URL's block holds 255 characters, so the map host may take at most 190 of them.
static_assert(sizeof(kMapHost) / sizeof(char16_t) - 1 <= 190, "map host too long for the URL");

// Buffer sizes in UTF-16 units, terminator included. The longest number text,
// "-1.2345678e-308", has 15 characters.
inline constexpr std::size_t kNumberTextSize = 16;
inline constexpr std::size_t kCoordinatesTextSize = 100;
inline constexpr std::size_t kMapUrlSize = 260;

// 8 significant digits the way the handheld runtime prints them: fixed from 0.1
// up to 1e8, else d.ddddddde+XXX; trailing zeros dropped, the point kept
// ("45.", "0.", "5.e-002"). Returns the length.
std::size_t FormatNumber(double value, char16_t (&text)[kNumberTextSize]);

// "N55°45.348 E37°37.038": hemisphere, whole degrees, degree sign, minutes cut
// (not rounded) to thousandths. Returns the length.
std::size_t FormatCoordinates(double latitude, double longitude,
                              char16_t (&text)[kCoordinatesTextSize]);

// "http://<host>/quarvel/?lat=..&lon=..[&t=letter][&s=1]". mapType is the
// settings' letter (may be empty); host is the build setting unless a caller has
// checked another (name[:port][/path] of at most 190 characters). Returns the length.
std::size_t FormatMapUrl(double latitude, double longitude, const char16_t* mapType, bool liteMap,
                         char16_t (&url)[kMapUrlSize], const char16_t* host = kMapHost);

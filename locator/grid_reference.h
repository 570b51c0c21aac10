// UTM/UPS and MGRS grid references of a position, computed by GeographicLib.
#pragma once

#include <string>

// "23K 687395 7465634": zone and latitude band, easting and northing rounded to the
// metre; beyond UTM's latitudes (80°S, 84°N) UPS as "Z 2353450 1646550", the band
// letter alone. The Norway and Svalbard zones apply. Empty when GeographicLib refuses
// the position (latitude beyond ±90 or not a number).
std::string FormatUtmUps(double latitude, double longitude);

// "23KPQ8739465634": the 1 m MGRS reference, no spaces (the digits are cut, not
// rounded, as MGRS wants). Empty when GeographicLib refuses the position.
std::string FormatMgrs(double latitude, double longitude);

// Open Location Codes ("plus codes") of standard length.
#pragma once

#include <string>

// The 10-digit code of the cell that holds the position, "589R3RVG+7R" (about 14 m
// square at the equator). Latitude is clipped to ±90 (the north pole falls in the
// topmost cell), longitude wrapped into [-180, 180). Empty for a value that is not
// a number.
std::string EncodePlusCode(double latitude, double longitude);

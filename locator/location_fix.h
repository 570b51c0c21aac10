// A position from a location service (the Windows location platform, GeoClue) as the
// sentences a receiver would send, so it takes the receivers' road through the
// framer and parser: wait, gates and formats need nothing of their own.
#pragma once

#include <string>

#include "platform/location.h"

// GGA (quality 1 for a satellite fix, 6 "estimated" for any other; no satellite
// count), RMC (status A; mode A, or E for an estimate) and, with an accuracy, GST
// whose latitude and longitude errors are each accuracy/√2, so that the horizontal
// error √(σlat² + σlon²) is the accuracy to a millimetre. "GN" talker, minutes to
// seven decimals (under 2 mm), each sentence with its checksum and CR LF.
std::string ComposeFixSentences(const LocationFix& fix);

// "a Wi-Fi position, ±350 m", "a satellite fix, ±4 m": what kind of fix came, for
// the wait detail, where a position that satellites did not give is said to be one.
std::u16string DescribeLocationFix(const LocationFix& fix);

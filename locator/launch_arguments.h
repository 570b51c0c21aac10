// The launch-argument line a shortcut starts Quarvel with.
#pragma once

#include "locator/settings.h"

// Applies the five space-separated words of commandLine over settings: port name,
// map letter, lite map, Bluetooth, coordinates only. Every space ends a word, so two
// in a row leave an empty word whose setting stays as it was; the port name is
// always word 0, even when that is empty. In the map and flag words the last
// character decides; words after the fifth are ignored.
void ParseLaunchArguments(const char16_t* commandLine, Settings& settings);

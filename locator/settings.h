// Quarvel's five user settings and how a run fills them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/settings_lines.h"

struct Settings {
  char16_t portName[kPortNameUnits + 1] = u"COM1:";
  char16_t mapType[2] = u"n";  // one letter, never validated
  uint8_t liteMap = 0;
  uint8_t bluetooth = 0;
  uint8_t coordinatesOnly = 0;
};

// Takes the value lines of a settings file into settings; a value whose line is
// missing keeps what settings held.
void ApplySettingsValues(const SettingsValues& values, Settings& settings);

// Reads the program's settings file into settings. False, with settings untouched,
// when there is no file to read.
bool LoadSettings(Settings& settings);

// What a run starts from: a non-empty command line decides alone; an empty one
// (or none) leaves it to the settings file.
void FillSettings(const char16_t* commandLine, Settings& settings);

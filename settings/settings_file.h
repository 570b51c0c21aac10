// settings.ini: the record read from it and written into it, and what a run of
// Quarvel starts from.
#pragma once

#include "settings/settings.h"

// How much of the record a settings file gave.
struct SettingsFileRead {
  bool found = false;  // false: there was no file to read
  int values = 0;      // values taken, the first ones of the value order
};

// The value lines of the settings file at path (from GetSettingsPath, so an
// installed copy falls back to the administrator's default; see ReadSavedSettings)
// over settings. A value whose line is missing keeps what settings held.
SettingsFileRead ReadSettingsFile(const char16_t* path, Settings& settings);

// Reads the program's own settings file into settings. False, with settings
// untouched, when there is no file to read.
bool LoadSettings(Settings& settings);

// What a run starts from: a non-empty command line decides alone; an empty one
// (or none) leaves it to the settings file.
void FillSettings(const char16_t* commandLine, Settings& settings);

// Writes each value under its comment line, every line ended by a line feed. The
// new file takes the old one's place only once it is whole and on the disk, so a
// failed save leaves the old file as it was. False when the file could not be
// written whole.
bool WriteSettingsFile(const char16_t* path, const Settings& settings);

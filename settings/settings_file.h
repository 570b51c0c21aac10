// settings.ini: the record read from it and written into it, and what a run of
// Quarvel starts from.
#pragma once

#include <string>
#include <vector>

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

// The lines written after the fifth value: the file's own later lines (`kept`, from
// ReadLinesAfterValues) in their order, each later value line replaced by the
// record's value where the record speaks for it: always for the values before
// recordValues, else when its text is not empty. Later values the file lacked follow
// under their comment lines up to the last one the record holds. A value written
// empty is one space, since an empty line holds no value and the next would take its place.
std::vector<std::u16string> LaterSettingsLines(const Settings& settings, int recordValues,
                                               const std::vector<std::u16string>& kept);

// Writes each of the first five values under its comment line, then the lines
// LaterSettingsLines gives for the file that was at path (ReadSavedLaterLines), every
// line ended by a line feed: a record with no later value over a five-value file writes
// the five alone. recordValues says how many values, in the value order, the caller's
// record decides even when empty (a form that shows a value clears it); later ones
// the record leaves empty keep the file's lines. The new file takes the old one's
// place only once it is whole and on the disk, so a failed save leaves the old file
// as it was. False when the file could not be written whole.
bool WriteSettingsFile(const char16_t* path, const Settings& settings,
                       int recordValues = kFirstLaterValue);

// The line rules both programs read settings.ini with.
#pragma once

#include <cstddef>

// A line read takes at most this many units, terminator included; the rest of a
// longer line is read as a line of its own.
inline constexpr std::size_t kSettingsLineUnits = 72;

// The value order of the settings file and of the launch-argument line.
enum SettingsValue : int {
  kPortValue = 0,
  kMapTypeValue = 1,
  kLiteMapValue = 2,
  kBluetoothValue = 3,
  kCoordinatesOnlyValue = 4,
  kSettingsValueCount = 5,
};

// The value lines of a settings file, in file order, each as read (its line feed
// included when the line had one).
struct SettingsValues {
  bool found = false;  // false: the file could not be opened
  int count = 0;       // value lines held, at most kSettingsValueCount
  char16_t lines[kSettingsValueCount][kSettingsLineUnits] = {};
};

// Reads the value lines of the file at path; comment and empty lines are skipped.
SettingsValues ReadSettingsValues(const char16_t* path);

// A line that holds no value: one that starts with "#", a line feed or a carriage
// return. Only the first unit counts.
bool IsSkippedLine(const char16_t* line);

// Cuts trailing spaces, carriage returns and line feeds off text, in place.
char16_t* TrimLineEnd(char16_t* text);

// A flag line is on when its first unit is "1", whatever follows.
bool IsFlagOn(const char16_t* line);

// The line rules both programs read settings.ini with.
#pragma once

#include <cstddef>

// Units of a port name, without the terminator: the most the form's port field
// holds, and room for the device paths Linux gives receivers (/dev/serial/by-id/...).
// Every reader and writer of a port name cuts to this one bound.
inline constexpr std::size_t kPortNameUnits = 259;

// A line read keeps at most this many units, terminator included: a whole port
// name with its CR LF. A longer line is still one line, cut to this.
inline constexpr std::size_t kSettingsLineUnits = kPortNameUnits + 3;

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

// Cuts a value line to the units of a port name, in place.
char16_t* CutPortLine(char16_t* line);

// A flag line is on when its first unit is "1", whatever follows.
bool IsFlagOn(const char16_t* line);

// The line rules both programs read settings.ini with.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/settings.h"

// A line read keeps at most this many units, terminator included: a whole port
// name with its CR LF. A longer line is still one line, cut to this.
inline constexpr std::size_t kSettingsLineUnits = kPortNameUnits + 3;

// The value lines of a settings file, in file order, each as read (its line feed
// included when the line had one).
struct SettingsValues {
  bool found = false;  // false: the file could not be opened
  int count = 0;       // value lines held, at most kSettingsValueCount
  char16_t lines[kSettingsValueCount][kSettingsLineUnits] = {};
};

// Reads the value lines of the file at path; comment and empty lines are skipped.
SettingsValues ReadSettingsValues(const char16_t* path);

// The lines of a settings file after its first `values` value lines, comment lines
// included, each as read and ended by a line feed; at most kLaterLineLimit of them.
struct SettingsLaterLines {
  bool found = false;  // false: the file could not be opened
  std::vector<std::u16string> lines;
};
inline constexpr std::size_t kLaterLineLimit = 256;
SettingsLaterLines ReadLinesAfterValues(const char16_t* path, int values);

// A line that holds no value: one that starts with "#", a line feed or a carriage
// return. Only the first unit counts.
bool IsSkippedLine(const char16_t* line);

// Cuts trailing spaces, carriage returns and line feeds off text, in place.
char16_t* TrimLineEnd(char16_t* text);

// A flag line is on when its first unit is "1", whatever follows.
bool IsFlagOn(const char16_t* line);

// The user's settings: the record both programs fill, its defaults, and the values
// that settings.ini and the launch-argument line carry, in their one order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <variant>

// Units of a port name, without the terminator: the most the form's port field
// holds, and room for the device paths Linux gives receivers (/dev/serial/by-id/...).
// Settings never look inside a port name; every reader and writer cuts it to this.
inline constexpr std::size_t kPortNameUnits = 259;

struct Settings {
  char16_t portName[kPortNameUnits + 1] = u"COM1:";
  char16_t mapType[2] = u"n";  // one letter, never validated
  uint8_t liteMap = 0;
  uint8_t bluetooth = 0;
  uint8_t coordinatesOnly = 0;
  // Empty: the form Coordinates only picks; else a name of the position formats.
  char16_t format[kPortNameUnits + 1] = u"";
  // Empty: the map host the build was made with; else HOST[:PORT][/PATH].
  char16_t mapHost[kPortNameUnits + 1] = u"";
};

// What QuarvelConfig's form shows when there is no settings file: Quarvel's
// defaults, but with the lite map on.
constexpr Settings FormDefaults() {
  Settings settings;
  settings.liteMap = 1;
  return settings;
}

// Where a value lives in the record. The kind of field decides how the value is
// read and written: a text is taken whole (up to kPortNameUnits), a letter as the
// one character it is, a flag as "1" or "0".
using SettingsTextField = char16_t (Settings::*)[kPortNameUnits + 1];
using SettingsLetterField = char16_t (Settings::*)[2];
using SettingsFlagField = uint8_t Settings::*;

struct SettingsValue {
  const char16_t* comment;  // the line above the value in settings.ini
  std::variant<SettingsTextField, SettingsLetterField, SettingsFlagField> field;
};

// Both persisted forms carry these values in this order. A value added at the end
// is one more row here (and its field above); readers that know fewer values stop
// before it.
inline constexpr SettingsValue kSettingsValues[] = {
    {u"# COM port", &Settings::portName},
    {u"# Default map type", &Settings::mapType},
    {u"# Lite map", &Settings::liteMap},
    {u"# Bluetooth", &Settings::bluetooth},
    {u"# Coordinates only", &Settings::coordinatesOnly},
    {u"# Format", &Settings::format},
    {u"# Map host", &Settings::mapHost},
};
inline constexpr int kSettingsValueCount = int(std::size(kSettingsValues));

// The launch-argument line carries the first five values only: a shortcut made by
// an older QuarvelConfig must keep meaning what it meant.
inline constexpr int kLaunchValueCount = 5;

// Values a file of five lines already held; a later one is written only when the
// record holds it or the file had it (settings_file.h).
inline constexpr int kFirstLaterValue = 5;

// Positions in that order, for code that handles one value apart (the form's controls).
enum SettingsValueIndex : int {
  kPortValue = 0,
  kMapTypeValue = 1,
  kLiteMapValue = 2,
  kBluetoothValue = 3,
  kCoordinatesOnlyValue = 4,
  kFormatValue = 5,
  kMapHostValue = 6,
};

// The value lines of a settings file (settings_lines.h) into settings, in the value
// order; a value whose line is missing keeps what settings held.
struct SettingsValues;
void ApplySettingsValues(const SettingsValues& values, Settings& settings);

// How a flag is written: "1" on, "0" off.
const char16_t* FlagText(bool on);

// The value at index as settings.ini writes it and the launch-argument line carries it:
// the text or letter as it stands (an empty letter stays empty), a flag as FlagText.
std::u16string SettingsValueText(const Settings& settings, int index);

// The value at index from a value line of settings.ini (its line end included): a text is
// the line cut to its units, then TrimLineEnd; a letter is the first character as
// it stands; a flag is on when the first character is "1".
void TakeSettingsLine(const char16_t* line, int index, Settings& settings);

// The value at index from a word of the launch-argument line: a text is the word cut to its
// units, even an empty one; in a letter or a flag the last character decides, and an
// empty word keeps what the record held.
void TakeSettingsWord(std::u16string_view word, int index, Settings& settings);

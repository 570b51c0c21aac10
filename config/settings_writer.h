// How QuarvelConfig writes settings.ini, and the words it writes for its choices.
#pragma once

// Writes the ten lines of the settings file: each value under its comment line.
// The new file takes the old one's place only once it is whole and on the disk, so
// a failed save leaves the old file as it was. False when the file could not be
// written whole.
bool WriteSettingsFile(const char16_t* path, const char16_t* portText, const char16_t* mapLetter,
                       bool liteMap, bool bluetooth, bool coordinatesOnly);

// The letter saved for a map entry's text: "n", "s", "h" or "p" for an entry
// starting with "N", "S", "H" or "P"; an empty text for any other.
const char16_t* MapLetterForEntry(const char16_t* entryText);

// How a flag is saved: "1" on, "0" off.
const char16_t* FlagText(bool on);

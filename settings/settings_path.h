// Where each program finds settings.ini: beside itself when portable, in the user's
// own folder when installed.
#pragma once

#include <cstddef>

#include "settings/settings_lines.h"
#include "platform/files.h"

// The file named name beside the module at modulePath: everything after the last
// separator becomes name; with no separator the result is name itself.
// False, with an empty path, when the result would not fit capacity units.
bool BuildPathBeside(const char16_t* modulePath, char16_t separator, const char16_t* name,
                     char16_t* path, std::size_t capacity);

// BuildPathBeside for "settings.ini".
bool BuildSettingsPath(const char16_t* modulePath, char16_t separator, char16_t* path,
                       std::size_t capacity);

// An installed copy is one with the platform's InstalledMarker beside its programs;
// every other copy (a build tree, a zip, any folder) is portable.
bool IsInstalledCopy();

// The running program's settings file, the one it reads and QuarvelConfig saves:
// beside the program for a portable copy, settings.ini in GetUserSettingsFolder for
// an installed one. False, with an empty path, when there is no such file to read
// or write (the program's own path, or the user's folder, unknown or too long).
bool GetSettingsPath(char16_t (&path)[kPathUnits]);

// The values of the settings file at path (from GetSettingsPath). An installed copy
// whose user has saved nothing yet reads the settings.ini beside its programs
// instead, when an administrator put one there.
SettingsValues ReadSavedSettings(const char16_t* path);

// The lines after the fifth value of the file ReadSavedSettings reads for path.
SettingsLaterLines ReadSavedLaterLines(const char16_t* path);

// Before a save: makes the user's settings folder of an installed copy, which does
// not exist before the first save. A portable copy's folder is its programs' own
// and is left as it is. False when the folder could not be made.
bool PrepareSettingsFolder(const char16_t* path);

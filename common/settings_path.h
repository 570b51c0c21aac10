// Where each program finds settings.ini: beside its own executable.
#pragma once

#include <cstddef>

#include "platform/files.h"

// The settings file beside the module at modulePath: everything after the last
// separator becomes "settings.ini"; with no separator the result is the bare name.
// False, with an empty path, when the result would not fit capacity units.
bool BuildSettingsPath(const char16_t* modulePath, char16_t separator, char16_t* path,
                       std::size_t capacity);

// The running program's own settings file. False, with an empty path, when the
// program's own path is unknown or too long: then there is no file to read or write.
bool GetSettingsPath(char16_t (&path)[kPathUnits]);

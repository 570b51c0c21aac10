// Start-menu shortcuts: the Programs folder and the shortcut files written into it.
#pragma once

#include <cstddef>

// The folder whose shortcuts the desktop shows as programs (CSIDL_PROGRAMS; on Linux
// $XDG_DATA_HOME/applications). It is not created. False, with an empty folder, when
// it is unknown or would not fit capacity units.
bool GetProgramsFolder(char16_t* folder, std::size_t capacity);

// File name of Quarvel's executable, installed beside QuarvelConfig's.
const char16_t* LocatorProgramFileName();

// Whether a file that the platform writes beside the shortcut at path exists already
// (on Linux the desktop entry NAME.desktop); writing the shortcut would replace it.
bool ShortcutCompanionExists(const char16_t* path);

// Writes the shortcut at path (a name ending in ".lnk") that starts target with the
// launch-argument line arguments, replacing a shortcut of that name. A failed write
// leaves an older shortcut as it was. False when it could not be written whole.
bool WriteShortcut(const char16_t* path, const char16_t* target, const char16_t* arguments);

// QuarvelConfig's shortcuts: the name dialog and the shortcut that starts Quarvel
// with the form's settings.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialogs.h"

// Asks for a name and writes the shortcut into the Programs folder; reads the form
// through the main dialog handle.
void SaveShortcut();

// The name dialog's procedure; leaves its result in the shortcut path.
intptr_t ShortcutNameDialogProc(DialogHandle dialog, unsigned message, uintptr_t wParam,
                                intptr_t lParam);

// Quarvel's executable beside the program at modulePath.
std::u16string LocatorTargetBeside(const char16_t* modulePath);

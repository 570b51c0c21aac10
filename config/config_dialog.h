// QuarvelConfig's form: setting it up, the settings into its controls and back,
// the greying rule, saving, and its procedure.
#pragma once

#include <cstdint>

#include "platform/dialogs.h"
#include "settings/settings.h"

// The form's title, by which a second start finds the running form.
inline constexpr const char16_t* kConfigFormTitle = u"Quarvel";

intptr_t ConfigDialogProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam);

// Soft keys, full screen, the Back key, the combo lists and the settings file.
// False when the menu bar or the full-screen setup failed.
bool InitConfigDialog(DialogHandle dialog);
// The settings file into the controls, or the defaults when there is no file.
void LoadSettingsIntoForm(DialogHandle dialog);
// Greys the map type and lite map while coordinates only is checked.
void UpdateMapControls(DialogHandle dialog);
// Writes the settings file from the controls and says whether that worked.
void SaveMainConfig(DialogHandle dialog);

// The settings the form's controls show: the port field's text, the letter of the
// selected map entry (the first entry's when none is), the three check boxes, the
// selected format; over the settings last loaded, whose other values stay.
Settings SettingsFromForm(DialogHandle dialog);

// The Back key's code on WM_HOTKEY, and the override that makes the menu bar send it.
inline constexpr intptr_t kBackKeyOverride =
    intptr_t((kShmbofNoDefault | kShmbofNotify) | ((kShmbofNoDefault | kShmbofNotify) << 16));

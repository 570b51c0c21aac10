// QuarvelConfig's program-wide state, all of it used on the dialogs' one thread.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/port_list.h"
#include "settings/settings.h"

// The longest shortcut path, in UTF-16 units without the terminator.
inline constexpr std::size_t kShortcutPathMax = 263;

struct ConfigState {
  char16_t settingsPath[kPathUnits] = {};  // empty: there is no file to read or write
  bool smartphone = false;                 // chooses layout 415 and the name dialog's flags
  DialogHandle mainDialog = nullptr;       // the form; owner of the message boxes
  // What the form last loaded: a save starts from it, so the values the form does
  // not show are written back as they were read.
  Settings loaded = FormDefaults();
  // Result of the name dialog: a path only after an accepted name, else empty.
  char16_t shortcutPath[kShortcutPathMax + 1] = {};
  // The port list's entries as the form filled it: what each shows, what it saves.
  std::vector<OfferedPort> offeredPorts;
};

ConfigState& Config();

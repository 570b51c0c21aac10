// QuarvelConfig's program entry and the platform type that chooses its layout.
#include "config/config_program.h"

#include "common/ascii_case.h"
#include "settings/settings_path.h"
#include "config/config_dialog.h"
#include "config/config_state.h"
#include "resources/resource_ids.h"

ConfigState& Config() {
  static ConfigState state;
  return state;
}

bool IsSmartphone() {
  char16_t type[128];
  return GetPlatformType(type, 128) && EqualsIgnoringAsciiCase(type, u"Smartphone");
}

int RunQuarvelConfig() {
  if (DialogHandle running = FindAppWindow(kDialogClassName, kConfigFormTitle)) {
    BringToFront(running);
    return 0;
  }
  ConfigState& state = Config();
  // Without a path the form still opens with its defaults; a save then says why
  // it failed.
  GetSettingsPath(state.settingsPath);
  state.smartphone = IsSmartphone();
  const int layout = state.smartphone ? IDD_CONFIG_SMARTPHONE : IDD_CONFIG;
  return int(RunModalDialog(layout, nullptr, ConfigDialogProc, 0));
}

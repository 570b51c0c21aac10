// QuarvelConfig's program entry and the platform type that chooses its layout.
#include "config/config_program.h"

#include "common/settings_path.h"
#include "config/config_dialog.h"
#include "config/config_state.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char16_t* kFormTitle = u"Quarvel";

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

bool EqualsIgnoringCase(const char16_t* text, const char16_t* expected) {
  for (; *text && *expected; ++text, ++expected) {
    if (FoldAscii(*text) != FoldAscii(*expected)) return false;
  }
  return *text == *expected;
}

}  // namespace

ConfigState& Config() {
  static ConfigState state;
  return state;
}

bool IsSmartphone() {
  char16_t type[128];
  return GetPlatformType(type, 128) && EqualsIgnoringCase(type, u"Smartphone");
}

int RunQuarvelConfig() {
  if (DialogHandle running = FindAppWindow(kDialogClassName, kFormTitle)) {
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

// Quarvel's five user settings and how a run fills them.
#include "locator/settings.h"

#include <algorithm>
#include <string>

#include "common/settings_path.h"
#include "locator/launch_arguments.h"
#include "platform/files.h"

namespace {

void TakePort(const char16_t* line, Settings& settings) {
  const std::size_t length = std::min(std::char_traits<char16_t>::length(line), kPortNameUnits);
  std::copy(line, line + length, settings.portName);
  settings.portName[length] = 0;
  TrimLineEnd(settings.portName);
}

}  // namespace

void ApplySettingsValues(const SettingsValues& values, Settings& settings) {
  for (int i = 0; i < values.count; ++i) {
    const char16_t* line = values.lines[i];
    switch (i) {
      case kPortValue: TakePort(line, settings); break;
      case kMapTypeValue:
        settings.mapType[0] = line[0];
        settings.mapType[1] = 0;
        break;
      case kLiteMapValue: settings.liteMap = IsFlagOn(line); break;
      case kBluetoothValue: settings.bluetooth = IsFlagOn(line); break;
      case kCoordinatesOnlyValue: settings.coordinatesOnly = IsFlagOn(line); break;
      default: break;
    }
  }
}

bool LoadSettings(Settings& settings) {
  char16_t path[kPathUnits];
  GetSettingsPath(path);  // without one, an installed copy may still have a default
  const SettingsValues values = ReadSavedSettings(path);
  if (!values.found) return false;
  ApplySettingsValues(values, settings);
  return true;
}

void FillSettings(const char16_t* commandLine, Settings& settings) {
  if (commandLine && *commandLine) {
    ParseLaunchArguments(commandLine, settings);
  } else {
    LoadSettings(settings);
  }
}

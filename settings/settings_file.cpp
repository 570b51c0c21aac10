// settings.ini: the record read from it and written into it, and what a run of
// Quarvel starts from.
#include "settings/settings_file.h"

#include <cstdio>
#include <string>

#include "common/file_replacement.h"
#include "common/multibyte_text.h"
#include "settings/launch_arguments.h"
#include "settings/settings_path.h"

namespace {

bool WriteValues(std::FILE* file, const Settings& settings) {
  bool ok = true;
  for (int i = 0; i < kSettingsValueCount; ++i) {
    const std::u16string comment = std::u16string(kSettingsValues[i].comment) + u"\n";
    ok = WriteTextAsMultibyte(comment.c_str(), file) && ok;
    ok = WriteTextAsMultibyte(SettingsValueText(settings, i).c_str(), file) && ok;
    ok = WriteTextAsMultibyte(u"\n", file) && ok;
  }
  return ok;
}

}  // namespace

SettingsFileRead ReadSettingsFile(const char16_t* path, Settings& settings) {
  const SettingsValues values = ReadSavedSettings(path);
  if (!values.found) return {};
  ApplySettingsValues(values, settings);
  return {true, values.count};
}

bool LoadSettings(Settings& settings) {
  char16_t path[kPathUnits];
  GetSettingsPath(path);  // without one, an installed copy may still have a default
  return ReadSettingsFile(path, settings).found;
}

void FillSettings(const char16_t* commandLine, Settings& settings) {
  if (commandLine && *commandLine) {
    ParseLaunchArguments(commandLine, settings);
  } else {
    LoadSettings(settings);
  }
}

bool WriteSettingsFile(const char16_t* path, const Settings& settings) {
  return WriteFileReplacing(path, [&](std::FILE* file) { return WriteValues(file, settings); });
}

// settings.ini: the record read from it and written into it, and what a run of
// Quarvel starts from.
#include "settings/settings_file.h"

#include <cstdio>
#include <string>

#include "common/file_replacement.h"
#include "common/multibyte_text.h"
#include "settings/launch_arguments.h"
#include "settings/settings_lines.h"
#include "settings/settings_path.h"

namespace {

bool WriteValues(std::FILE* file, const Settings& settings,
                 const std::vector<std::u16string>& later) {
  bool ok = true;
  for (int i = 0; i < kFirstLaterValue; ++i) {
    const std::u16string comment = std::u16string(kSettingsValues[i].comment) + u"\n";
    ok = WriteTextAsMultibyte(comment.c_str(), file) && ok;
    ok = WriteTextAsMultibyte(SettingsValueText(settings, i).c_str(), file) && ok;
    ok = WriteTextAsMultibyte(u"\n", file) && ok;
  }
  for (const std::u16string& line : later) ok = WriteTextAsMultibyte(line.c_str(), file) && ok;
  return ok;
}

std::u16string LaterValueLine(const Settings& settings, int index) {
  const std::u16string text = SettingsValueText(settings, index);
  return (text.empty() ? u" " : text) + u"\n";
}

bool RecordSpeaksFor(const Settings& settings, int index, int recordValues) {
  return index < recordValues || !SettingsValueText(settings, index).empty();
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

std::vector<std::u16string> LaterSettingsLines(const Settings& settings, int recordValues,
                                               const std::vector<std::u16string>& kept) {
  std::vector<std::u16string> lines;
  int index = kFirstLaterValue;
  for (const std::u16string& line : kept) {
    const bool value = !IsSkippedLine(line.c_str());
    const bool known = value && index < kSettingsValueCount;
    lines.push_back(known && RecordSpeaksFor(settings, index, recordValues)
                        ? LaterValueLine(settings, index)
                        : line);
    if (value) ++index;
  }
  int last = index - 1;
  for (int i = index; i < kSettingsValueCount; ++i) {
    if (!SettingsValueText(settings, i).empty()) last = i;
  }
  for (int i = index; i <= last; ++i) {
    lines.push_back(std::u16string(kSettingsValues[i].comment) + u"\n");
    lines.push_back(LaterValueLine(settings, i));
  }
  return lines;
}

bool WriteSettingsFile(const char16_t* path, const Settings& settings, int recordValues) {
  const std::vector<std::u16string> later =
      LaterSettingsLines(settings, recordValues, ReadSavedLaterLines(path).lines);
  return WriteFileReplacing(path,
                            [&](std::FILE* file) { return WriteValues(file, settings, later); });
}

// Where each program finds settings.ini: beside itself when portable, in the user's
// own folder when installed.
#include "settings/settings_path.h"

#include <string_view>

#include "common/program_folder.h"

namespace {

constexpr const char16_t* kSettingsName = u"settings.ini";

bool GetPathBesideProgram(const char16_t* name, char16_t (&path)[kPathUnits]) {
  char16_t module[kPathUnits];
  if (!GetModulePath(module, kPathUnits)) {
    path[0] = 0;
    return false;
  }
  return BuildPathBeside(module, PathSeparator(), name, path, kPathUnits);
}

bool GetUserSettingsPath(char16_t (&path)[kPathUnits]) {
  if (!GetUserSettingsFolder(path, kPathUnits)) return false;
  const std::u16string_view folder = path;
  const std::u16string_view name = kSettingsName;
  if (folder.size() + 1 + name.size() + 1 > kPathUnits) {
    path[0] = 0;
    return false;
  }
  path[folder.size()] = PathSeparator();
  name.copy(path + folder.size() + 1, name.size());
  path[folder.size() + 1 + name.size()] = 0;
  return true;
}

}  // namespace

bool BuildPathBeside(const char16_t* modulePath, char16_t separator, const char16_t* name,
                     char16_t* path, std::size_t capacity) {
  const std::u16string_view fileName = name;
  const std::u16string_view folder = ProgramFolder(modulePath, separator);
  const std::size_t keep = folder.size();
  if (capacity == 0) return false;
  if (keep + fileName.size() + 1 > capacity) {
    path[0] = 0;
    return false;
  }
  folder.copy(path, keep);
  fileName.copy(path + keep, fileName.size());
  path[keep + fileName.size()] = 0;
  return true;
}

bool BuildSettingsPath(const char16_t* modulePath, char16_t separator, char16_t* path,
                       std::size_t capacity) {
  return BuildPathBeside(modulePath, separator, kSettingsName, path, capacity);
}

bool IsInstalledCopy() {
  char16_t marker[kPathUnits];
  if (!GetPathBesideProgram(InstalledMarker(), marker)) return false;
  std::FILE* file = OpenFile(marker, "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

bool GetSettingsPath(char16_t (&path)[kPathUnits]) {
  // An installed program lies in a folder only an administrator may change, and
  // one user's choices are no other user's: each keeps a file of their own.
  if (IsInstalledCopy()) return GetUserSettingsPath(path);
  return GetPathBesideProgram(kSettingsName, path);
}

SettingsValues ReadSavedSettings(const char16_t* path) {
  SettingsValues values = ReadSettingsValues(path);
  if (values.found || !IsInstalledCopy()) return values;
  char16_t beside[kPathUnits];
  if (!GetPathBesideProgram(kSettingsName, beside)) return values;
  return ReadSettingsValues(beside);
}

SettingsLaterLines ReadSavedLaterLines(const char16_t* path) {
  SettingsLaterLines later = ReadLinesAfterValues(path, kFirstLaterValue);
  if (later.found || !IsInstalledCopy()) return later;
  char16_t beside[kPathUnits];
  if (!GetPathBesideProgram(kSettingsName, beside)) return later;
  return ReadLinesAfterValues(beside, kFirstLaterValue);
}

bool PrepareSettingsFolder(const char16_t* path) {
  return !IsInstalledCopy() || CreateFolderFor(path);
}

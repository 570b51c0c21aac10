// Where each program finds settings.ini: beside its own executable.
#include "common/settings_path.h"

#include "common/program_folder.h"

bool BuildSettingsPath(const char16_t* modulePath, char16_t separator, char16_t* path,
                       std::size_t capacity) {
  constexpr std::u16string_view kFileName = u"settings.ini";
  const std::u16string_view folder = ProgramFolder(modulePath, separator);
  const std::size_t keep = folder.size();
  if (capacity == 0) return false;
  if (keep + kFileName.size() + 1 > capacity) {
    path[0] = 0;
    return false;
  }
  folder.copy(path, keep);
  kFileName.copy(path + keep, kFileName.size());
  path[keep + kFileName.size()] = 0;
  return true;
}

bool GetSettingsPath(char16_t (&path)[kPathUnits]) {
  char16_t module[kPathUnits];
  if (!GetModulePath(module, kPathUnits)) {
    path[0] = 0;
    return false;
  }
  return BuildSettingsPath(module, PathSeparator(), path, kPathUnits);
}

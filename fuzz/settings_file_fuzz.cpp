// Fuzzes the settings-file reader and Quarvel's record with arbitrary file bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings_lines.h"
#include "settings/settings.h"
#include "platform/files.h"

namespace {

std::string scratchName;

void RemoveScratch() { unlink(scratchName.c_str()); }

// One scratch file for the whole run, named as the platform names paths.
const char16_t* ScratchPath() {
  static char16_t path[kPathUnits];
  if (scratchName.empty()) {
    char pattern[] = "/tmp/quarvel-settings-fuzz-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) std::abort();
    close(fd);
    scratchName = pattern;
    std::atexit(RemoveScratch);
    if (!MultibyteToWide(pattern, path, kPathUnits)) std::abort();
  }
  return path;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Terminated(const char16_t* text, std::size_t units) {
  for (std::size_t i = 0; i < units; ++i) {
    if (text[i] == 0) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char16_t* path = ScratchPath();
  std::FILE* file = std::fopen(scratchName.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  const SettingsValues values = ReadSettingsValues(path);
  Check(values.found);
  Check(values.count >= 0 && values.count <= kSettingsValueCount);
  for (int i = 0; i < values.count; ++i) {
    const char16_t* line = values.lines[i];
    Check(Terminated(line, kSettingsLineUnits));
    Check(!IsSkippedLine(line));
    // Whatever was read converts back to the same text: UTF-8 holds every
    // character read, in at most three bytes a unit.
    char bytes[kSettingsLineUnits * 3];
    char16_t back[kSettingsLineUnits];
    Check(WideToMultibyte(line, bytes, sizeof bytes));
    Check(MultibyteToWide(bytes, back, kSettingsLineUnits));
    Check(std::u16string(back) == line);
  }

  Settings settings;
  ApplySettingsValues(values, settings);
  Check(Terminated(settings.portName, kPortNameUnits + 1));
  Check(settings.mapType[1] == 0);
  Check(Terminated(settings.format, kPortNameUnits + 1));
  Check(Terminated(settings.mapHost, kPortNameUnits + 1));
  Check(settings.liteMap <= 1 && settings.bluetooth <= 1 && settings.coordinatesOnly <= 1);
  return 0;
}

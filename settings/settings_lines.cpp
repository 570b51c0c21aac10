// The line rules both programs read settings.ini with.
#include "settings/settings_lines.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/files.h"

bool IsSkippedLine(const char16_t* line) {
  return line[0] == u'#' || line[0] == u'\n' || line[0] == u'\r';
}

char16_t* TrimLineEnd(char16_t* text) {
  std::size_t length = std::char_traits<char16_t>::length(text);
  while (length > 0 &&
         (text[length - 1] == u' ' || text[length - 1] == u'\r' || text[length - 1] == u'\n')) {
    text[--length] = 0;
  }
  return text;
}

bool IsFlagOn(const char16_t* line) { return line[0] == u'1'; }

namespace {

// One whole line into line, cut to capacity: what does not fit is read and
// dropped, so a long line (a comment, say) never becomes lines of its own.
bool ReadWholeLine(std::FILE* file, char16_t* line, std::size_t capacity) {
  if (!ReadWideLine(file, line, capacity)) return false;
  const auto ends = [](const char16_t* text) {
    const std::size_t length = std::char_traits<char16_t>::length(text);
    return length == 0 || text[length - 1] == u'\n';
  };
  char16_t rest[kSettingsLineUnits];
  for (bool done = ends(line); !done;)
    done = !ReadWideLine(file, rest, kSettingsLineUnits) || ends(rest);
  return true;
}

}  // namespace

SettingsValues ReadSettingsValues(const char16_t* path) {
  SettingsValues values;
  std::FILE* file = OpenFile(path, "r");
  if (!file) return values;
  values.found = true;
  char16_t line[kSettingsLineUnits];
  // Lines after the last value this program knows change nothing, so reading
  // stops there; a file that never ends (a device, say) cannot hold a program up.
  while (values.count < kSettingsValueCount && ReadWholeLine(file, line, kSettingsLineUnits)) {
    if (IsSkippedLine(line)) continue;
    std::copy(line, line + kSettingsLineUnits, values.lines[values.count++]);
  }
  std::fclose(file);
  return values;
}

SettingsLaterLines ReadLinesAfterValues(const char16_t* path, int values) {
  SettingsLaterLines later;
  std::FILE* file = OpenFile(path, "r");
  if (!file) return later;
  later.found = true;
  char16_t line[kSettingsLineUnits];
  // The limit, like the value count above, keeps an endless file from holding a save up.
  for (int seen = 0;
       later.lines.size() < kLaterLineLimit && ReadWholeLine(file, line, kSettingsLineUnits);) {
    if (seen >= values) {
      later.lines.emplace_back(line);
      if (later.lines.back().empty() || later.lines.back().back() != u'\n')
        later.lines.back() += u'\n';
    } else if (!IsSkippedLine(line)) {
      ++seen;
    }
  }
  std::fclose(file);
  return later;
}

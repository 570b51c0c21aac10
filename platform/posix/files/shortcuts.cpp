// Shortcuts on Linux: the text shortcut in $XDG_DATA_HOME/applications, and a
// desktop entry beside it so that the desktop's menu shows it.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/file_replacement.h"
#include "common/shortcut_text.h"
#include "common/utf8.h"
#include "platform/files.h"
#include "platform/shortcuts.h"

namespace {

constexpr std::u16string_view kShortcutExtension = u".lnk";

// XDG: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::string DataHome() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return data;
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') return {};
  return std::string(home) + "/.local/share";
}

// Characters that make the Exec key's parser want an argument in quotes.
bool NeedsQuotes(std::string_view word) {
  return word.empty() || word.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
}

// A string value: backslashes and the control characters that have an escape.
std::string StringValue(std::string_view text) {
  std::string value;
  for (char c : text) {
    switch (c) {
      case '\\': value += "\\\\"; break;
      case '\n': value += "\\n"; break;
      case '\r': value += "\\r"; break;
      case '\t': value += "\\t"; break;
      default: value += c;
    }
  }
  return value;
}

// One argument of the Exec key: quoted when needed, with ", `, $ and \ escaped inside
// the quotes; then the escapes of field codes (%%) and of a string value.
std::string ExecArgument(std::string_view word) {
  std::string quoted;
  if (NeedsQuotes(word)) {
    quoted += '"';
    for (char c : word) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
      quoted += c;
    }
    quoted += '"';
  } else {
    quoted = word;
  }
  std::string value;
  for (char c : quoted) {
    if (c == '%') value += '%';
    value += c;
  }
  return StringValue(value);
}

std::string DesktopEntry(std::u16string_view name, const char16_t* target,
                         std::u16string_view arguments) {
  std::string exec = ExecArgument(utf8::Utf16ToUtf8(target));
  // The words go one by one, so that the program gets back the same line: an empty
  // word stays an empty argument.
  for (std::size_t start = 0;;) {
    const std::size_t space = arguments.find(u' ', start);
    exec += ' ';
    exec += ExecArgument(utf8::Utf16ToUtf8(arguments.substr(start, space - start)));
    if (space == std::u16string_view::npos) break;
    start = space + 1;
  }
  return "[Desktop Entry]\nType=Application\nName=" + StringValue(utf8::Utf16ToUtf8(name)) +
         "\nExec=" + exec + "\nIcon=org.quarvel.Quarvel\nTerminal=false\n";
}

// The desktop entry beside a shortcut: ".desktop" in place of ".lnk"; empty for a
// path that does not end in ".lnk".
std::u16string DesktopEntryPath(std::u16string_view shortcut) {
  if (shortcut.size() < kShortcutExtension.size() ||
      shortcut.substr(shortcut.size() - kShortcutExtension.size()) != kShortcutExtension) {
    return {};
  }
  return std::u16string(shortcut.substr(0, shortcut.size() - kShortcutExtension.size())) +
         u".desktop";
}

// A fresh account has no applications folder yet: make it, and the data folder
// above it, private to the user as XDG asks.
bool MakeProgramsFolder() {
  const std::string data = DataHome();
  if (data.empty()) return false;
  std::string partial;
  const std::string folder = data + "/applications";
  for (std::size_t at = 1; at != std::string::npos;) {
    at = folder.find('/', at + 1);
    partial = folder.substr(0, at);
    if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

bool GetProgramsFolder(char16_t* folder, std::size_t capacity) {
  const std::string data = DataHome();
  if (capacity == 0) return false;
  if (data.empty() || !MultibyteToWide((data + "/applications").c_str(), folder, capacity)) {
    folder[0] = 0;
    return false;
  }
  return true;
}

const char16_t* LocatorProgramFileName() { return u"quarvel"; }

bool ShortcutCompanionExists(const char16_t* path) {
  const std::u16string entryPath = DesktopEntryPath(path);
  std::FILE* file = entryPath.empty() ? nullptr : OpenFile(entryPath.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

bool WriteShortcut(const char16_t* path, const char16_t* target, const char16_t* arguments) {
  const std::u16string_view shortcut = path;
  const std::u16string entryPath = DesktopEntryPath(shortcut);
  if (entryPath.empty()) return false;
  const std::u16string_view stem = shortcut.substr(0, shortcut.size() - kShortcutExtension.size());
  const std::size_t slash = stem.rfind(PathSeparator());
  const std::u16string_view name =
      slash == std::u16string_view::npos ? stem : stem.substr(slash + 1);
  const std::string entry = DesktopEntry(name, target, arguments);

  MakeProgramsFolder();  // a failure shows when the files cannot be written
  const bool shortcutWritten = WriteFileReplacing(
      path, [&](std::FILE* file) { return WriteShortcutText(file, target, arguments); });
  return shortcutWritten && WriteFileReplacing(entryPath.c_str(), [&](std::FILE* file) {
           return std::fwrite(entry.data(), 1, entry.size(), file) == entry.size();
         });
}

// The launch-argument line a shortcut starts Quarvel with.
#include "settings/launch_arguments.h"

std::u16string LaunchLineFromCommandLine(const char16_t* commandLine) {
  if (!commandLine) return {};
  const char16_t* at = commandLine;
  // The program's name ends at its closing quote, or at the first blank; Windows
  // knows no escapes inside it.
  if (*at == u'"') {
    ++at;
    while (*at && *at != u'"') ++at;
    if (*at) ++at;
  } else {
    while (*at && *at != u' ' && *at != u'\t') ++at;
  }
  // One blank separates the name from the words; any further blank is part of
  // the words (a shortcut's empty port word starts with one).
  if (*at == u' ' || *at == u'\t') ++at;
  return at;
}

void ParseLaunchArguments(const char16_t* commandLine, Settings& settings) {
  if (!commandLine) return;
  // Every space ends a word, so two in a row make an empty one; only spaces do.
  std::u16string_view rest = commandLine;
  for (int word = 0; word < kLaunchValueCount; ++word) {
    const std::size_t end = rest.find(u' ');
    TakeSettingsWord(rest.substr(0, end), word, settings);
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

std::u16string ComposeLaunchArguments(const Settings& settings) {
  std::u16string line;
  for (int word = 0; word < kLaunchValueCount; ++word) {
    if (word > 0) line += u' ';
    line += SettingsValueText(settings, word);
  }
  return line;
}

std::u16string ComposeShortcutArguments(const Settings& settings) {
  std::u16string options;
  if (settings.format[0]) options = u"--format " + std::u16string(settings.format) + u" ";
  return options + ComposeLaunchArguments(settings);
}

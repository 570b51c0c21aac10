// The launch-argument line a shortcut starts Quarvel with.
#pragma once

#include <string>

#include "settings/settings.h"

// The launch-argument line inside a whole Windows command line (GetCommandLineW):
// everything after the program's name (quoted or not) and the one blank after it,
// as it stands, so the line reads as the one a shortcut hands over.
std::u16string LaunchLineFromCommandLine(const char16_t* commandLine);

// Applies the space-separated words of commandLine over settings, in the value
// order (port name, map letter, lite map, Bluetooth, coordinates only). Every space
// ends a word, so two in a row leave an empty word whose setting stays as it was;
// the port name is always word 0, even when that is empty. In the map and flag
// words the last character decides; words after the last value are ignored.
void ParseLaunchArguments(const char16_t* commandLine, Settings& settings);

// The launch-argument line of settings: every value as settings.ini writes it,
// separated by single spaces, nothing after the last.
std::u16string ComposeLaunchArguments(const Settings& settings);

// What a shortcut starts Quarvel with: `--format NAME` first when settings name a
// format (options come before the launch words), then the launch-argument line.
std::u16string ComposeShortcutArguments(const Settings& settings);

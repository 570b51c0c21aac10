// The settings editor's options: the whole command line, as it takes no other words.
#pragma once

#include <string>

struct ConfigOptions {
  bool help = false;
  bool version = false;
  bool gui = false;
  bool terminal = false;
  bool smartphone = false;
};

// Reads the options from argv. False, with the reason in error, for an unknown
// option, a malformed value or any other word.
bool ReadConfigOptions(int argc, char** argv, ConfigOptions& options, std::string& error);

// The whole --help text: usage, what the editor does, options, exit statuses.
std::string ConfigUsage();

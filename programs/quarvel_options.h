// quarvel's options: what may come before the launch words.
#pragma once

#include <string>

#include "locator/fix_gates.h"

struct QuarvelOptions {
  bool help = false;
  bool version = false;
  bool noClipboard = false;  // the position on standard output only
  int timeoutSeconds = 0;    // 0: wait until a position comes or the user stops
  bool gui = false;          // the status window on the desktop
  bool terminal = false;     // the status line on the terminal
  FixGates gates;            // --max-hdop, --min-satellites, --accuracy, --average
  std::u16string format;     // --format's name as given; empty: settings.ini's, else the default
  std::u16string mapHost;    // --map-host's host; empty: settings.ini's, else the build's
};

// Exit status of a command line that cannot be read (sysexits' EX_USAGE).
inline constexpr int kExitUsage = 64;

// Reads the options from argv; next gets the index of the first launch word.
// False, with the reason in error, for an unknown option or a malformed value (an
// unknown format's error names the formats there are).
bool ReadQuarvelOptions(int argc, char** argv, QuarvelOptions& options, int& next,
                        std::string& error);

// The whole --help text: usage, launch words, options, exit statuses.
std::string QuarvelUsage();

// Which front end a Linux program shows: its GTK windows or the terminal.
#pragma once

enum class FrontEnd { Windows, Terminal };

struct FrontEndFacts {
  bool askedWindows = false;   // --gui
  bool askedTerminal = false;  // --terminal
  bool display = false;        // DISPLAY or WAYLAND_DISPLAY is set
  bool inputIsTerminal = false;
  bool windowsBuilt = false;  // the build has GTK
};

// --terminal wins; then --gui; otherwise the windows when started from the
// desktop (a display, and standard input no terminal). Without GTK: the terminal.
FrontEnd ChooseFrontEnd(const FrontEndFacts& facts);

// The facts of this process (environment, standard input), the options and the build.
FrontEndFacts CurrentFrontEndFacts(bool askedWindows, bool askedTerminal, bool windowsBuilt);

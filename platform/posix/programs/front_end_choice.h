// Which front end a Linux program shows: its GTK windows or the terminal.
#pragma once

enum class FrontEnd { Windows, Terminal };

struct FrontEndFacts {
  bool askedWindows = false;         // --gui
  bool askedTerminal = false;        // --terminal
  bool display = false;              // DISPLAY or WAYLAND_DISPLAY is set
  bool controllingTerminal = false;  // the run belongs to a terminal (/dev/tty opens)
  bool terminalCanShow = true;       // the program's terminal front end can run here
  bool windowsBuilt = false;         // the build has GTK
};

// --terminal wins; then --gui. Otherwise a run that belongs to a terminal stays
// there, whatever its standard streams are, unless its terminal front end cannot
// run there; a run of no terminal opens the windows on a display. Without GTK: the
// terminal.
FrontEnd ChooseFrontEnd(const FrontEndFacts& facts);

// The facts of this process (environment, controlling terminal), the options and
// the build; terminalCanShow stays true for the caller to decide.
FrontEndFacts CurrentFrontEndFacts(bool askedWindows, bool askedTerminal, bool windowsBuilt);

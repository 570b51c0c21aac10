// The Windows words of the programs' usage texts; the options that choose a Linux
// front end are not offered (the programs always show their windows).
#include "programs/program_build.h"

namespace {

constexpr ProgramBuild kWindows = {
    "Quarvel",
    "COM1: to COM9: (also COM1, and \\\\.\\COM12 for any number), DEMO:\n"
    "               (a simulated receiver) or location: (the Windows location\n"
    "               service: a built-in GNSS, or where Wi-Fi puts the computer)\n",
    "Without launch words the settings come from settings.ini: beside the program,\n"
    "or %APPDATA%\\Quarvel\\ for an installed copy.\n"
    "Stop or Esc in the window stops the wait; so does Ctrl-C in the console (twice:\n"
    "close at once). Run from a console, Quarvel writes there what its message boxes\n"
    "would say.\n",
    "QuarvelConfig",
    "Edits Quarvel's five settings in a window and saves them to settings.ini (beside\n"
    "the program, or in %APPDATA%\\Quarvel\\ for an installed copy), or into a shortcut\n"
    "in the Start menu that starts Quarvel.\n"
    "Only one form runs at a time: a second start brings the open one to the front.\n",
    "Exit status: 0 closed, or already open; -1 the form could not be set up; 64 the\n"
    "command line could not be read.\n",
    "--gui --terminal --smartphone",
};

}  // namespace

const ProgramBuild& ThisProgramBuild() { return kWindows; }

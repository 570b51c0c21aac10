// The Linux words of the programs' usage texts; every option of the tables is offered.
#include "programs/program_build.h"

namespace {

constexpr ProgramBuild kLinux = {
    "quarvel",
    "ttyUSB0, ttyACM0, rfcomm0, pts/3, any /dev/... path (up to 259\n"
    "               characters, links followed, e.g. /dev/serial/by-id/usb-u-blox_AG_-\n"
    "               _www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00), COM1: (/dev/ttyS0),\n"
    "               DEMO: (a simulated receiver), gpsd: (the local gpsd) or auto: (every\n"
    "               serial port at once); NAME@9600 fixes the speed, else it is found\n",
    "Without launch words the settings come from settings.ini: beside the program,\n"
    "or $XDG_CONFIG_HOME/quarvel/ (~/.config/quarvel/) for an installed copy.\n"
    "Esc or q stops the wait; so does Ctrl-C (twice: close at once); in the window,\n"
    "Stop or Esc.\n",
    "quarvel-config",
    "Edits Quarvel's five settings in a window on the desktop or a full-screen\n"
    "terminal form and saves them to settings.ini (beside the program, or in\n"
    "$XDG_CONFIG_HOME/quarvel/ for an installed copy), or into a shortcut that\n"
    "starts quarvel. On the terminal: F1 Exit, F2 Save; Tab and the\n"
    "arrows move, Space toggles, Ctrl-C closes.\n"
    "Only one form runs per user: a second start on the desktop brings the open\n"
    "window to the front; on the terminal it says so and ends.\n",
    "Exit status: 0 closed, or already open; 1 no display and no terminal that can\n"
    "show the form (standard input and output must be one); 64 the command line could not be "
    "read.\n",
    "",
};

}  // namespace

const ProgramBuild& ThisProgramBuild() { return kLinux; }

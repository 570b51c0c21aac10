// Quarvel on Linux: one run with its status window on the terminal; the copied line also goes to standard output.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/utf8.h"
#include "locator/status_dialog.h"
#include "platform/command_line.h"
#include "platform/posix/terminal_status.h"

namespace {

constexpr const char kUsage[] =
    "Usage: quarvel [PORT [MAP LITE BLUETOOTH COORDINATES]]\n"
    "\n"
    "Waits for the GPS receiver on PORT to report a position and copies it to the\n"
    "clipboard: as a map URL, or as coordinates when COORDINATES is 1. The copied\n"
    "line is also written to standard output.\n"
    "\n"
    "  PORT         ttyUSB0, ttyACM0, rfcomm0, pts/3, /dev/..., COM1: (/dev/ttyS0),\n"
    "               DEMO: (a simulated receiver) or gpsd: (the local gpsd)\n"
    "  MAP          map type letter of the URL (default n)\n"
    "  LITE         1 for the lite map (default 0)\n"
    "  BLUETOOTH    1 to switch the Bluetooth radio on for the run and off after it\n"
    "  COORDINATES  1 to copy coordinates instead of the URL (default 0)\n"
    "\n"
    "Without arguments the settings come from settings.ini beside the program.\n"
    "Esc or q stops the wait; so does Ctrl-C (twice: close at once).\n"
    "\n"
    "Exit status: 0 position copied; 1 the port could not be opened;\n"
    "2 the clipboard refused the position; 3 stopped or closed before a position was\n"
    "copied.\n";

bool IsHelp(const std::u16string& commandLine) {
  return commandLine == u"--help" || commandLine == u"-h";
}

void WriteLine(const std::u16string& text) {
  const std::string line = utf8::Utf16ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::u16string commandLine = JoinCommandLine(argc, argv);
  if (IsHelp(commandLine)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  int status;
  {
    TerminalStatusFrontEnd frontEnd;
    status = RunQuarvel(commandLine.c_str());
  }
  const std::u16string published = PublishedText();
  if (!published.empty()) WriteLine(published);
  // The run is over when its window is: the reader, or a worker cut short by a
  // close, ends with the process wherever it is.
  std::fflush(nullptr);
  std::_Exit(status);
}

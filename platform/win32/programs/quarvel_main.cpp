// Quarvel.exe: the status dialog's run, started with the launch-argument line of its shortcut.
#include <windows.h>

#include "settings/launch_arguments.h"
#include "locator/status_dialog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::u16string line =
      LaunchLineFromCommandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()));
  const int status = RunQuarvel(line.c_str());
  // The run ends with its window: the reader, or a worker cut short by a close,
  // ends with the process wherever it is.
  ExitProcess(UINT(status));
}

// quarvel-config: QuarvelConfig as a full-screen terminal form.
#include <sys/ioctl.h>
#include <unistd.h>

#include "config/config_program.h"
#include "platform/model/dialog_model.h"
#include "platform/posix/config_form/config_form.h"

namespace {

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int main() {
  // A second start leaves the first one's form alone.
  if (!TakeInstanceLock()) return 0;
  SetModelPlatformType(TerminalPlatformType(TerminalColumns()));
  return RunWithTerminalForm(RunQuarvelConfig);
}

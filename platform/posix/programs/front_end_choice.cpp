// Which front end a Linux program shows, from its options and how it was started.
#include "platform/posix/programs/front_end_choice.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// Standard input tells nothing: `pos=$(quarvel ... </dev/null)` belongs to the
// terminal it was typed in, and a desktop's launcher gives none.
bool HasControllingTerminal() {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

FrontEnd ChooseFrontEnd(const FrontEndFacts& facts) {
  if (facts.askedTerminal || !facts.windowsBuilt) return FrontEnd::Terminal;
  if (facts.askedWindows) return FrontEnd::Windows;
  const bool stayInTerminal = facts.controllingTerminal && facts.terminalCanShow;
  return facts.display && !stayInTerminal ? FrontEnd::Windows : FrontEnd::Terminal;
}

FrontEndFacts CurrentFrontEndFacts(bool askedWindows, bool askedTerminal, bool windowsBuilt) {
  FrontEndFacts facts;
  facts.askedWindows = askedWindows;
  facts.askedTerminal = askedTerminal;
  facts.display = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
  facts.controllingTerminal = HasControllingTerminal();
  facts.windowsBuilt = windowsBuilt;
  return facts;
}

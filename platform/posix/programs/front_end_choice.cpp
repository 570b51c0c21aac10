// Which front end a Linux program shows, from its options and how it was started.
#include "platform/posix/programs/front_end_choice.h"

#include <unistd.h>

#include <cstdlib>

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

FrontEnd ChooseFrontEnd(const FrontEndFacts& facts) {
  if (facts.askedTerminal || !facts.windowsBuilt) return FrontEnd::Terminal;
  if (facts.askedWindows) return FrontEnd::Windows;
  return facts.display && !facts.inputIsTerminal ? FrontEnd::Windows : FrontEnd::Terminal;
}

FrontEndFacts CurrentFrontEndFacts(bool askedWindows, bool askedTerminal, bool windowsBuilt) {
  FrontEndFacts facts;
  facts.askedWindows = askedWindows;
  facts.askedTerminal = askedTerminal;
  facts.display = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
  facts.inputIsTerminal = isatty(STDIN_FILENO) == 1;
  facts.windowsBuilt = windowsBuilt;
  return facts;
}

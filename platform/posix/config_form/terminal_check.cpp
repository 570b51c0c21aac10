// Whether this process has a terminal the form can be drawn on; apart from the
// form, as <term.h> defines macros (columns, buttons) that clash with other names.
#include "platform/posix/config_form/config_form.h"

#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <term.h>
#include <unistd.h>

const char* WhyNoTerminalForm() {
  if (!isatty(STDIN_FILENO)) return "standard input is not a terminal";
  if (!isatty(STDOUT_FILENO)) return "standard output is not a terminal";
  // The form places the cursor: a terminal type that cannot is no use to it.
  int result = 0;
  if (setupterm(nullptr, STDOUT_FILENO, &result) != OK) {
    return "the terminal type (TERM) is unknown";
  }
  const bool placesCursor = tigetstr("cup") != nullptr;
  del_curterm(cur_term);
  return placesCursor ? nullptr : "the terminal type (TERM) cannot place the cursor";
}

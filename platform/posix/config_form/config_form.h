// QuarvelConfig's full-screen terminal form (ncurses): draws the dialog model's
// form, name dialog and message boxes, and turns keys into their messages.
#pragma once

// Runs program (the portable entry) on a thread of its own while this thread keeps
// the terminal; returns the program's exit code. Keys:
//   F1, F2      the left and right soft keys; F2 on the form opens "Save"
//   Tab, arrows move between controls; Left/Right change a drop-down list
//   Space       toggles a check box;  Enter opens a combo's list, toggles, or is Done
//   Backspace   the Back key: deletes before the caret in a field
//   Ctrl-C      closes the dialog on top
int RunWithTerminalForm(int (*program)());

// Why the form cannot be shown on this process's terminal (standard input or output
// is none, or its type is unknown or cannot place the cursor); nullptr when it can.
const char* WhyNoTerminalForm();

// The platform type a terminal of this width suggests: "Smartphone" when it is
// narrower than the Pocket PC layout needs, else "PocketPC".
const char16_t* TerminalPlatformType(int columns);

// Holds the per-user lock that makes one QuarvelConfig the only one; false when
// another holds it. The lock lives until the process ends.
bool TakeInstanceLock();

// Terminal front end of Quarvel's status dialog: draws dialog 102 and the
// message boxes on a terminal and turns keys and signals into Stop and close.
#pragma once

#include <memory>
#include <string>

struct TerminalOptions {
  int inputFd = 0;            // keys, read only when it is a terminal (then in raw mode)
  int outputFd = 2;           // drawing; redrawn in place and coloured only on a terminal
  bool handleSignals = true;  // SIGINT, SIGTERM, SIGHUP: Stop, then close, then exit
  // Draw and read keys only on this process's controlling terminal while it is in
  // the foreground there; a run in the background (or without one) draws no
  // status line, and terminal output never stops it (SIGTTOU is ignored).
  bool ownTerminalOnly = true;
};

// Lives around the program's modal run: installs itself as the dialog model's
// observer and message-box handler, and restores the terminal when it goes.
//   Esc, q: Stop (WM_COMMAND 1013) to the status dialog.
//   Ctrl-C or a signal: the first Stop, the second WM_CLOSE, the third exits 130.
//   Message boxes print "<caption> <text>", and their detail (a reason, the
//   copied text) on the lines after it; on a terminal they wait for Enter.
//   The wait detail (control 1016) follows the status text in brackets.
//   The status line never wraps, and it is cleared when the dialog ends.
class TerminalStatusFrontEnd {
 public:
  explicit TerminalStatusFrontEnd(TerminalOptions options = {});
  ~TerminalStatusFrontEnd();
  TerminalStatusFrontEnd(const TerminalStatusFrontEnd&) = delete;
  TerminalStatusFrontEnd& operator=(const TerminalStatusFrontEnd&) = delete;

  struct Impl;

 private:
  // Shared with the callbacks it installs: a worker still inside one when the
  // front end goes keeps what it uses alive.
  std::shared_ptr<Impl> impl_;
};

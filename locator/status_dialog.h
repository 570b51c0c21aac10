// Quarvel's one run: the program entry, the status dialog (102), its status line
// and the worker that loads the settings, waits for a position and publishes it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "locator/fix_gates.h"
#include "platform/dialogs.h"

// Exit statuses of a run. A position that was put on the clipboard is success,
// also when Stop came during the last second.
inline constexpr int kExitPublished = 0;
inline constexpr int kExitPortFailed = 1;       // the GPS port could not be opened
inline constexpr int kExitClipboardFailed = 2;  // a position was found, the copy failed
inline constexpr int kExitStopped = 3;          // Stop or close before a position was copied
inline constexpr int kExitTimedOut = 4;         // no position within RunOptions::timeout

// How a run publishes and how long it waits; a shortcut's run takes the defaults.
struct RunOptions {
  bool useClipboard = true;         // false: the text is only handed back (PublishedText)
  std::chrono::seconds timeout{0};  // from the run's start; 0 waits until a position or Stop
  // The program writes the found position to standard output, so a box that
  // reports a refused clipboard can send the user there.
  bool positionOnStandardOutput = false;
  FixGates gates;  // what a position must meet to be published
  // A name FindPositionFormat knows, and an IsMapHost host; empty: settings.ini's,
  // else the default form (by Coordinates only) and the build's host.
  std::u16string format;
  std::u16string mapHost;
};

// The program entry: keeps the launch-argument line (empty: settings.ini is
// read), runs status dialog 102 modally and returns the exit status. One run
// per call; the process-wide state starts afresh each time.
int RunQuarvel(const char16_t* commandLine, const RunOptions& options = {});

// The status dialog's procedure: starts the worker on WM_INITDIALOG, Stop (1013)
// sets the stop request, WM_CLOSE ends the dialog. Returns FALSE for everything.
intptr_t StatusDialogProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam);

// Sets the status line (control 1014) to string-table text stringId, cut to 59
// units; 0 clears it. Any thread.
void ShowStatus(int stringId);

// Sets the line under the status line (control 1016) to why the wait for a
// position goes on; an empty text clears it. Any thread.
void ShowWaitDetail(const std::u16string& detail);

// The worker's sixteen steps, from loading the settings to ending the dialog.
int LocatorWorker();

// What the Stop button does: sets the stop request, which is never cleared.
void RequestStop();

// Time between two polls for a position; 1000 ms unless a test shortens it.
void SetLocatorPollInterval(std::chrono::milliseconds interval);

// The text the last run found for its position (on the clipboard, unless that
// refused it or the run left the clipboard alone); empty when it found none.
std::u16string PublishedText();

// Why the last run found no position, as its wait said last ("no data from
// the port yet", "u-blox UBX binary, not NMEA: ..."); empty after a position.
std::u16string LastWaitDetail();

// Waits until the worker of the last run has returned; true once it has.
// The program does not wait (the process ends with the dialog); tests do.
bool WaitLocatorWorkerEnded(std::chrono::milliseconds timeout);

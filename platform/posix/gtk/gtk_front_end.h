// GTK 4 windows for the dialog model: each running dialog a window laid out from
// its template, message boxes as dialogs, soft keys as buttons along the bottom.
#pragma once

#include <functional>
#include <optional>

struct GtkRunOptions {
  const char* applicationId = nullptr;  // D-Bus name, e.g. "org.quarvel.QuarvelConfig"
  const char* iconName = nullptr;       // the windows' icon from the icon theme
  // A second start of a unique program brings the first one's window to the front
  // and returns 0 at once.
  bool unique = false;
};

// False in a build without GTK (the terminal front ends alone).
bool GtkWindowsBuilt();

// Runs program on a thread of its own while this thread runs GTK's main loop and
// shows the dialogs the program runs; returns the program's exit code, or nothing
// (the program not run) when GTK is not built in or cannot open the display.
std::optional<int> RunWithGtkWindows(const std::function<int()>& program,
                                     const GtkRunOptions& options);

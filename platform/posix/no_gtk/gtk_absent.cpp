// The GTK windows of a build without GTK: the programs keep their terminal front ends.
#include "platform/posix/gtk/gtk_front_end.h"

bool GtkWindowsBuilt() { return false; }

std::optional<int> RunWithGtkWindows(const std::function<int()>&, const GtkRunOptions&) {
  return std::nullopt;
}

// The Windows CE shortcut format: a count, "#", then the command to run, as one line
// of multibyte text. Platforms without a shell-link format of their own write this.
#pragma once

#include <cstdio>

// Writes `count#"target" arguments` with no line end; count is target's length in
// UTF-16 units plus the two quotes. False when anything could not be written whole.
bool WriteShortcutText(std::FILE* file, const char16_t* target, const char16_t* arguments);

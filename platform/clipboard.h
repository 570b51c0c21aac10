// The system clipboard: one Unicode text that stays after the program ends.
#pragma once

#include <string_view>

// Replaces the clipboard's content by text (UTF-16, no terminator needed).
// Returns false when no clipboard could be reached or it refused the text.
bool PutTextOnClipboard(std::u16string_view text);

// The system clipboard: one Unicode text that stays after the program ends.
#pragma once

#include <string>
#include <string_view>

// Replaces the clipboard's content by text (UTF-16, no terminator needed).
// Returns false when no clipboard could be reached or it refused the text; *why
// (when given) then says which and why, in a few words: no display, no tool
// installed, the tool's failure, the system's error.
bool PutTextOnClipboard(std::u16string_view text, std::u16string* why = nullptr);

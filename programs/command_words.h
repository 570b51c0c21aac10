// A Windows command line read as the C runtime reads it into words, for the options
// before the launch words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "programs/quarvel_options.h"

struct CommandWord {
  std::u16string text;  // quotes and the backslashes before them resolved
  std::size_t end;      // where the word ends in the line
};

// Splits at blanks and tabs outside quotes. A quote opens or closes a quoted part; a
// doubled quote inside one is a quote; 2n backslashes before a quote are n
// backslashes, 2n+1 are n and a literal quote; other backslashes are themselves.
std::vector<CommandWord> SplitCommandWords(std::u16string_view line);

// The options at the front of a launch-argument line (the command line after the
// program's name) and the launch words after them, as they stand in the line: an
// option-free line is kept whole, so a shortcut's line reads as it always has.
struct QuarvelCommand {
  QuarvelOptions options;
  std::u16string launchLine;
  std::string error;  // why the options could not be read; empty when they could
};
QuarvelCommand ReadQuarvelCommand(std::u16string_view line);

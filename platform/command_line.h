// The launch-argument line of a program started with an argument vector.
#pragma once

#include <string>

// The arguments after the program's name, joined by single spaces and converted to
// UTF-16, so the line reads as the one a shortcut hands over: an argument that holds
// spaces keeps them, and an empty argument leaves an empty word.
std::u16string JoinCommandLine(int argc, char** argv);

// Why the GPS port could not be opened, in words for the terminal: the path tried and the system's reason.
#pragma once

#include <string>

// Keeps problem as the last one of this process; empty clears it. Any thread.
void NotePortProblem(std::string problem);

// The last problem noted; empty when the last open went well.
std::string LastPortProblem();

// "PATH: <strerror>", and for a refused permission whom to ask: the group that
// owns the device, read from the device itself.
std::string DescribeOpenError(const std::string& path, int error);

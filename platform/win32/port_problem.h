// Why the GPS port could not be opened (the location platform's reasons), for the
// console a run was started from.
#pragma once

#include <string>

// Keeps problem as the last one of this process; empty clears it. Any thread.
void NotePortProblem(std::string problem);

// The last problem noted; empty when the last open went well or gave no reason.
std::string LastPortProblem();

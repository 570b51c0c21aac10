// QuarvelConfig's program entry and the platform type that chooses its layout.
#pragma once

// Runs the configuration form as the program's only instance. Returns the exit code:
// 0 when another instance runs already or after Exit or close, -1 when the form
// could not be set up.
int RunQuarvelConfig();

// True on a Smartphone: the platform type reads "Smartphone", in any case.
bool IsSmartphone();

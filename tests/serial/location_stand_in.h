// A stand-in for the system's location service (this machine has no location
// hardware), linked instead of quarvel_location: the test scripts what it answers.
#pragma once

#include <string>

#include "platform/location.h"

// What the next opens answer: a refusal with its reason, or the first fix (which the
// open waits for on a real service). Resets the count of opens.
void ScriptLocationService(std::u16string refusal, LocationFix first = {});

// Hands the open service's reader one more fix.
void AddLocationFix(const LocationFix& fix);

// Makes the open service's next read fail, as a service that went silent.
void FailLocationService();

int LocationServiceOpens();

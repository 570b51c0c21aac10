// The Windows location platform as a source of fixes: the Geolocator runtime class
// through the WinRT ABI, loaded at run time (combase has it from Windows 8 on).
#pragma once

#include <chrono>
#include <string>

#include "locator/location_fix.h"

struct WindowsLocation;

// Activates the Geolocator (high accuracy: the GNSS when there is one), asks for
// access and waits up to firstFixTimeout for a first fix, which the first read hands
// on. Null, with why in problem, when there is no location platform, Windows denies
// the location (turned off, or not for desktop apps) or no fix came in time.
WindowsLocation* OpenWindowsLocation(std::chrono::seconds firstFixTimeout, std::string& problem);

enum class LocationRead { Fix, Woken, Failed };

// The next fix, asked for no sooner than a second after the one before (as a
// receiver sends them). Woken once WakeWindowsLocation was called; Failed, with why
// in problem, when the service refused or gave nothing for half a minute.
LocationRead ReadWindowsLocation(WindowsLocation* location, LocationFix& fix, std::string& problem);

// Makes a pending read, and every later one, return at once. Any thread.
void WakeWindowsLocation(WindowsLocation* location);

// Cancels what is pending and releases the Geolocator; no read may be pending.
void CloseWindowsLocation(WindowsLocation* location);

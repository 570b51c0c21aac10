// The reader's port, whichever kind it is: a platform serial port or the simulated receiver.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locator/gps_reader.h"

// Opens and configures the port without telling the user anything. On
// failure the closed port comes back with *problem set to the message text.
GpsPort OpenGpsPortQuietly(const char16_t* portName, uint32_t baudRate, const char16_t** problem);

// One read: the count, 0 when woken, kSerialPortGone when the line is gone.
std::ptrdiff_t ReadFromGpsPort(const GpsPort& port, char* buffer, std::size_t capacity);

// Whether the port may be opened again by name once it is gone.
bool GpsPortMayReturn(const GpsPort& port);

void WakeGpsPort(const GpsPort& port);
void CloseGpsPort(GpsPort& port);

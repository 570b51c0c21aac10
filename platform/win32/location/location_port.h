// "location:" as a GPS port: the Windows location platform's fixes handed on as the
// sentences of a receiver, through the same framer and parser as any port's bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct LocationPort;

// "location:" in any case.
bool IsLocationPortName(std::u16string_view name);

// Null, with why in problem, when the location platform gives no first fix.
LocationPort* OpenLocationPort(std::string& problem);

// The sentences of the next fix (those that did not fit come with the next read):
// the count, 0 when woken, kSerialPortGone when the service failed (problem says why).
std::ptrdiff_t ReadLocationPort(LocationPort* port, char* buffer, std::size_t capacity,
                                std::string& problem);

void WakeLocationPort(LocationPort* port);
void CloseLocationPort(LocationPort* port);

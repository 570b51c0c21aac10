// The "COMn:" port names that Windows gives serial ports, read the same on every platform.
#pragma once

#include <string>
#include <string_view>

// n of "COMn" or "COMn:" in any case, n from 1 to 9999; 0 for any other name.
unsigned ComPortNumber(std::u16string_view name);

// "COMn:", the name ComPortNumber reads as n.
std::u16string ComPortName(unsigned number);

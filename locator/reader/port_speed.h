// A port text may fix the line speed with a suffix ("ttyUSB0@9600", "COM5:@38400").
#pragma once

#include <cstdint>
#include <string_view>

struct PortSpeed {
  std::u16string_view name;  // the port text without its suffix
  uint32_t speed = 0;        // the speed the suffix fixes; 0: none fixed
};

// Splits "NAME@DIGITS" at its last '@'. A text whose last '@' is not followed
// by a speed of 1 to 7 digits (not 0) fixes none and stays whole, so a
// device name that holds an '@' still opens.
PortSpeed SplitPortSpeed(std::u16string_view portText);

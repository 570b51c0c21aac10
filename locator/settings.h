// Quarvel's five user settings and how a run fills them.
#pragma once

#include <cstdint>

struct Settings {
  char16_t portName[10] = u"COM1:";  // at most 9 units and the terminator
  char16_t mapType[2] = u"n";        // one letter, never validated
  uint8_t liteMap = 0;
  uint8_t bluetooth = 0;
  uint8_t coordinatesOnly = 0;
};

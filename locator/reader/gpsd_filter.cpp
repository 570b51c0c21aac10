// Drops gpsd's JSON report lines: they may hold '*' or '$' inside strings and
// would otherwise reach the framer as broken sentences.
#include "locator/reader/gpsd_filter.h"

std::size_t DropGpsdJson(GpsdFilter& filter, char* data, std::size_t length) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = data[i];
    if (filter.atLineStart) filter.inJson = c == '{';
    filter.atLineStart = c == '\n';
    if (!filter.inJson) data[kept++] = c;
  }
  return kept;
}

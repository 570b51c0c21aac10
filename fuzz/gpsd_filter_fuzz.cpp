// Fuzzes the filter that drops gpsd's JSON lines: cut anywhere, same result; no JSON line survives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "locator/reader/gpsd_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t cut = data[0] % size;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::string whole = input;
  GpsdFilter one;
  whole.resize(DropGpsdJson(one, whole.data(), whole.size()));

  std::string first = input.substr(0, cut), second = input.substr(std::min(cut, input.size()));
  GpsdFilter two;
  first.resize(DropGpsdJson(two, first.data(), first.size()));
  second.resize(DropGpsdJson(two, second.data(), second.size()));
  if (first + second != whole) std::abort();

  // Every kept line is a line of the input that does not begin with '{'.
  for (std::size_t start = 0; start < whole.size();) {
    if (whole[start] == '{') std::abort();
    const std::size_t end = whole.find('\n', start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (whole.size() > input.size()) std::abort();
  return 0;
}

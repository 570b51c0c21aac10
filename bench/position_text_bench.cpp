// Cost of the position texts: one number, the coordinates line, the map URL.
#include <benchmark/benchmark.h>

#include "locator/position_text.h"

namespace {

void BM_FormatNumber(benchmark::State& state) {
  const double values[] = {55.7558, -43.1729, 0.05, 99999999.5, 1.2345678e-308};
  char16_t text[kNumberTextSize];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatNumber(values[i++ % 5], text));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatNumber);

void BM_FormatCoordinates(benchmark::State& state) {
  char16_t text[kCoordinatesTextSize];
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatCoordinates(-22.9068, -43.1729, text));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatCoordinates);

void BM_FormatMapUrl(benchmark::State& state) {
  char16_t url[kMapUrlSize];
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatMapUrl(55.7558, 37.6173, u"h", true, url));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatMapUrl);

}  // namespace

BENCHMARK_MAIN();

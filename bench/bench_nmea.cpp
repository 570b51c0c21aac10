// Framing and parsing speed of the reader's data path; also counts heap allocations on it.
// Usage: bench_nmea [benchmark flags] [capture.nmea ...]
// Instructions per sentence (goal: at most 1,000) are counted with callgrind on the
// framing and parsing call alone, then divided by the calls to it (callgrind's calls=
// lines for FrameAndParseCapture) and by the embedded capture's 1,152 texts:
//   valgrind --tool=callgrind --toggle-collect='*FrameAndParseCapture*' bench_nmea --benchmark_min_time=0.01
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "nmea/framer.h"
#include "nmea/parser.h"

namespace {

std::atomic<long> gAllocations{0};

// One second of a u-blox receiver with a fix: the usual sentence mix.
constexpr const char kOneSecond[] =
    "$GPRMC,092751.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A*43\r\n"
    "$GPVTG,31.66,T,,M,0.02,N,0.04,K,A*09\r\n"
    "$GPGGA,092751.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n"
    "$GPGSA,A,3,10,07,05,02,29,04,08,13,,,,,1.72,1.03,1.38*0A\r\n"
    "$GPGSV,3,1,11,10,63,137,17,07,61,098,15,05,59,290,20,08,54,157,30*70\r\n"
    "$GPGSV,3,2,11,02,39,223,19,13,28,070,17,26,23,252,,04,14,186,14*79\r\n"
    "$GPGSV,3,3,11,29,09,301,24,16,09,020,,36,,,*76\r\n"
    "$GPGLL,5321.6802,N,00630.3372,W,092751.000,A,A*4E\r\n"
    "$GPZDA,092751.000,28,05,2011,00,00*52\r\n";

std::string EmbeddedCapture() {
  std::string capture;
  while (capture.size() < 64 * 1024) capture += kOneSecond;
  return capture;
}

void CountSentence(const char* sentence, void* context) {
  ++*static_cast<long*>(context);
  ParseNmeaSentence(sentence);
}

// The reader's loop over a whole capture in full reads; returns the texts parsed.
__attribute__((noinline)) long FrameAndParseCapture(const std::string& capture) {
  NmeaFramer framer;
  long sentences = 0;
  for (std::size_t offset = 0; offset < capture.size(); offset += kGpsReadSize) {
    char buffer[kGpsReadSize + 1] = {};
    capture.copy(buffer, kGpsReadSize, offset);
    FrameNmeaRead(framer, buffer, CountSentence, &sentences);
  }
  return sentences;
}

void BM_FrameAndParse(benchmark::State& state, const std::string& capture) {
  long sentences = 0;
  const long allocationsBefore = gAllocations.load();
  for (auto _ : state) {
    sentences += FrameAndParseCapture(capture);
    benchmark::ClobberMemory();
  }
  const long allocations = gAllocations.load() - allocationsBefore;
  state.SetItemsProcessed(sentences);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * capture.size()));
  state.counters["allocs_per_sentence"] =
      sentences ? static_cast<double>(allocations) / static_cast<double>(sentences) : 0.0;
}

bool ReadFile(const char* path, std::string* bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

// Counting replacement of the global allocator. GCC pairs the library's inlined
// new-expressions with the free() below and warns, though both sides are ours.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wunknown-warning-option"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  static const std::string embedded = EmbeddedCapture();
  benchmark::RegisterBenchmark("BM_FrameAndParse/embedded", BM_FrameAndParse, embedded);
  static std::vector<std::string> captures;
  captures.reserve(static_cast<std::size_t>(argc));
  for (int i = 1; i < argc; ++i) {
    captures.emplace_back();
    if (!ReadFile(argv[i], &captures.back())) {
      std::fprintf(stderr, "bench_nmea: cannot read %s\n", argv[i]);
      return 2;
    }
    benchmark::RegisterBenchmark((std::string("BM_FrameAndParse/") + argv[i]).c_str(),
                                 BM_FrameAndParse, captures.back());
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

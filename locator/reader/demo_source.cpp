// "DEMO:" as a GPS source: the simulated receiver inside the process, on every platform.
#include "locator/reader/demo_receiver.h"
#include "locator/reader/gps_source.h"

namespace {

DemoReceiver* Receiver(void* source) { return static_cast<DemoReceiver*>(source); }

// It has no line and no speed: it opens whatever the speed.
void* OpenDemoSource(const char16_t*, uint32_t, bool, GpsPortProblem&) {
  return OpenDemoReceiver();
}

std::ptrdiff_t ReadDemoSource(void* source, char* buffer, std::size_t capacity) {
  return std::ptrdiff_t(ReadDemoReceiver(Receiver(source), buffer, capacity));
}

void WakeDemoSource(void* source) { WakeDemoReceiver(Receiver(source)); }
// It never goes away by itself, and its bytes always follow on.
bool DemoSourceMayReturn(void*) { return false; }
bool DemoSourceRestarted(void*) { return false; }
std::u16string DescribeDemoSource(void*, std::u16string_view gpsDetail) {
  return std::u16string(gpsDetail);
}
void CloseDemoSource(void* source) { CloseDemoReceiver(Receiver(source)); }

}  // namespace

const GpsSourceKind kDemoSource = {&OpenDemoSource,      &ReadDemoSource,      &WakeDemoSource,
                                   &DemoSourceMayReturn, &DemoSourceRestarted, &DescribeDemoSource,
                                   &CloseDemoSource};

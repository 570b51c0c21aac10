// The sources by port text: the table of built-in kinds, the platform's serial port for any other text.
#include "locator/reader/gps_source.h"

#include "locator/reader/demo_receiver.h"

namespace {

// A kind the port text picks by name; the first row whose test the text passes.
struct GpsSourceChoice {
  bool (*picks)(const char16_t* portText);
  const GpsSourceKind* kind;
};

constexpr GpsSourceChoice kBuiltInSources[] = {
    {&IsDemoPortName, &kDemoSource},
};

}  // namespace

const GpsSourceKind& FindGpsSourceKind(const char16_t* portText) {
  for (const GpsSourceChoice& choice : kBuiltInSources) {
    if (choice.picks(portText)) return *choice.kind;
  }
  return kSerialSource;
}

GpsSource OpenGpsSource(const char16_t* portText, uint32_t baudRate, GpsPortProblem& problem) {
  problem = {};
  const GpsSourceKind& kind = FindGpsSourceKind(portText);
  void* handle = kind.open(portText, baudRate, problem);
  if (!handle) return {};
  return {&kind, handle};
}

bool IsGpsSourceOpen(const GpsSource& source) { return source.handle != nullptr; }

std::ptrdiff_t ReadGpsSource(const GpsSource& source, char* buffer, std::size_t capacity) {
  if (!IsGpsSourceOpen(source)) return kSerialPortGone;
  return source.kind->read(source.handle, buffer, capacity);
}

void WakeGpsSource(const GpsSource& source) {
  if (IsGpsSourceOpen(source)) source.kind->wake(source.handle);
}

bool GpsSourceMayReturn(const GpsSource& source) {
  return IsGpsSourceOpen(source) && source.kind->mayReturn(source.handle);
}

void CloseGpsSource(GpsSource& source) {
  if (IsGpsSourceOpen(source)) source.kind->close(source.handle);
  source = {};
}

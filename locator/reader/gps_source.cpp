// The sources by port text: the table of built-in kinds, the platform's serial port for any other text.
#include "locator/reader/gps_source.h"

#include "common/ascii_case.h"
#include "locator/reader/demo_receiver.h"
#include "locator/reader/port_speed.h"
#include "locator/reader/network_name.h"

namespace {

// A kind the port text picks by name; the first row whose test the text passes.
struct GpsSourceChoice {
  bool (*picks)(const char16_t* portText);
  const GpsSourceKind* kind;
};

bool IsAutoPortName(const char16_t* name) {
  return name && EqualsIgnoringAsciiCase(name, u"auto:");
}

constexpr GpsSourceChoice kBuiltInSources[] = {
    {&IsDemoPortName, &kDemoSource},
    {&IsAutoPortName, &kAutoSource},
    {&IsLocationPortName, &kLocationSource},
    {&IsNetworkName, &kNetworkSource},
};

const GpsSourceKind& KindForName(const char16_t* name) {
  for (const GpsSourceChoice& choice : kBuiltInSources) {
    if (choice.picks(name)) return *choice.kind;
  }
  return kSerialSource;
}

}  // namespace

const GpsSourceKind& FindGpsSourceKind(const char16_t* portText) {
  const PortSpeed text = SplitPortSpeed(portText ? portText : u"");
  return KindForName(std::u16string(text.name).c_str());
}

GpsSource OpenGpsSource(const char16_t* portText, uint32_t baudRate, GpsPortProblem& problem) {
  problem = {};
  const PortSpeed text = SplitPortSpeed(portText ? portText : u"");
  const std::u16string name(text.name);
  const GpsSourceKind& kind = KindForName(name.c_str());
  void* handle =
      kind.open(name.c_str(), text.speed ? text.speed : baudRate, text.speed != 0, problem);
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

bool GpsSourceRestarted(const GpsSource& source) {
  return IsGpsSourceOpen(source) && source.kind->restarted(source.handle);
}

std::u16string DescribeGpsSource(const GpsSource& source, std::u16string_view gpsDetail) {
  if (!IsGpsSourceOpen(source)) return std::u16string(gpsDetail);
  return source.kind->describe(source.handle, gpsDetail);
}

void CloseGpsSource(GpsSource& source) {
  if (IsGpsSourceOpen(source)) source.kind->close(source.handle);
  source = {};
}

bool GpsSourceReadBeganAfresh(const GpsSource& source) {
  return IsGpsSourceOpen(source) && source.kind->readBeganAfresh &&
         source.kind->readBeganAfresh(source.handle);
}

std::u16string GpsSourceWhere(const GpsSource& source) {
  if (!IsGpsSourceOpen(source) || !source.kind->where) return {};
  return source.kind->where(source.handle);
}

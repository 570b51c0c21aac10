// The platform's serial port as a GPS source: every port text that no built-in source takes, its speed hunted.
#include <mutex>

#include "locator/reader/gps_source.h"
#include "locator/reader/hunted_line.h"

namespace {

struct SerialSource {
  HuntedLine line;         // the reader thread's own
  bool restarted = false;  // the latest read came at a new speed
  std::mutex mutex;        // guards `shown` against the worker's questions
  SpeedHunt shown;         // the hunt as of the latest read
};

SerialSource* Source(void* source) { return static_cast<SerialSource*>(source); }

void* OpenSerialSource(const char16_t* name, uint32_t baudRate, bool speedFixed,
                       GpsPortProblem& problem) {
  SerialPortHandle port = OpenSerialPort(name, &problem.reason);
  if (port == kInvalidSerialPort) {
    problem.message = kPortOpenFailedText;
    return nullptr;
  }
  if (!SetSerialPortSpeed(port, baudRate, &problem.reason)) {
    problem.message = kPortSpeedRefusedText;
    CloseSerialPort(port);
    return nullptr;
  }
  auto* source = new SerialSource;
  StartHuntedLine(source->line, port, baudRate, speedFixed);
  source->shown = source->line.watch.hunt;
  return source;
}

std::ptrdiff_t ReadSerialSource(void* handle, char* buffer, std::size_t capacity) {
  SerialSource& source = *Source(handle);
  const std::ptrdiff_t count = ReadHuntedLine(source.line, buffer, capacity, &source.restarted);
  std::lock_guard lock(source.mutex);
  source.shown = source.line.watch.hunt;
  return count;
}

void WakeSerialSource(void* source) { WakeSerialPort(Source(source)->line.port); }
bool SerialSourceMayReturn(void* source) { return SerialPortMayReturn(Source(source)->line.port); }
bool SerialSourceRestarted(void* source) { return Source(source)->restarted; }

std::u16string DescribeSerialSource(void* handle, std::u16string_view gpsDetail) {
  SerialSource& source = *Source(handle);
  std::lock_guard lock(source.mutex);
  return DescribeSpeedHunt(source.shown, gpsDetail);
}

void CloseSerialSource(void* source) {
  CloseSerialPort(Source(source)->line.port);
  delete Source(source);
}

}  // namespace

const GpsSourceKind kSerialSource = {
    &OpenSerialSource,      &ReadSerialSource,     &WakeSerialSource, &SerialSourceMayReturn,
    &SerialSourceRestarted, &DescribeSerialSource, &CloseSerialSource};

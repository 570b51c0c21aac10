// The platform's serial port as a GPS source: every port text that no built-in source takes.
#include "locator/reader/gps_source.h"

namespace {

SerialPortHandle Port(void* source) { return static_cast<SerialPortHandle>(source); }

void* OpenSerialSource(const char16_t* portText, uint32_t baudRate, GpsPortProblem& problem) {
  SerialPortHandle port = OpenSerialPort(portText, &problem.reason);
  if (port == kInvalidSerialPort) {
    problem.message = kPortOpenFailedText;
    return nullptr;
  }
  if (!SetSerialPortSpeed(port, baudRate, &problem.reason)) {
    problem.message = kPortSpeedRefusedText;
    CloseSerialPort(port);
    return nullptr;
  }
  return port;
}

std::ptrdiff_t ReadSerialSource(void* source, char* buffer, std::size_t capacity) {
  return ReadSerialPort(Port(source), buffer, capacity);
}

void WakeSerialSource(void* source) { WakeSerialPort(Port(source)); }
bool SerialSourceMayReturn(void* source) { return SerialPortMayReturn(Port(source)); }
void CloseSerialSource(void* source) { CloseSerialPort(Port(source)); }

}  // namespace

const GpsSourceKind kSerialSource = {&OpenSerialSource, &ReadSerialSource, &WakeSerialSource,
                                     &SerialSourceMayReturn, &CloseSerialSource};

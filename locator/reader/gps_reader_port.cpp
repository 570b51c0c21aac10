// The reader's port: "DEMO:" is served here on every platform, all else by the platform layer.
#include "locator/reader/gps_reader_port.h"

#include "locator/reader/demo_receiver.h"

bool IsGpsPortOpen(const GpsPort& port) {
  return port.serial != kInvalidSerialPort || port.demo != nullptr;
}

GpsPort OpenGpsPortQuietly(const char16_t* portName, uint32_t baudRate, const char16_t** problem) {
  GpsPort port;
  *problem = nullptr;
  if (IsDemoPortName(portName)) {
    port.demo = OpenDemoReceiver();
    return port;
  }
  port.serial = OpenSerialPort(portName);
  if (port.serial == kInvalidSerialPort) {
    *problem = u"Error Opening Comms Port.";
  } else if (!SetSerialPortSpeed(port.serial, baudRate)) {
    *problem = u"Can't configure GPS-port.";
    CloseGpsPort(port);
  }
  return port;
}

std::ptrdiff_t ReadFromGpsPort(const GpsPort& port, char* buffer, std::size_t capacity) {
  if (port.demo) return std::ptrdiff_t(ReadDemoReceiver(port.demo, buffer, capacity));
  return ReadSerialPort(port.serial, buffer, capacity);
}

bool GpsPortMayReturn(const GpsPort& port) { return SerialPortMayReturn(port.serial); }

void WakeGpsPort(const GpsPort& port) {
  if (port.demo) WakeDemoReceiver(port.demo);
  if (port.serial != kInvalidSerialPort) WakeSerialPort(port.serial);
}

void CloseGpsPort(GpsPort& port) {
  if (port.demo) CloseDemoReceiver(port.demo);
  if (port.serial != kInvalidSerialPort) CloseSerialPort(port.serial);
  port = GpsPort{};
}

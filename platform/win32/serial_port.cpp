// The GPS port on desktop Windows: a COM port read overlapped, so a stop event wakes a pending read.
#include <windows.h>

#include "platform/serial_port.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "common/com_port_name.h"
#include "platform/win32/last_error.h"
#include "platform/win32/wide_text.h"

struct SerialPort {
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE readDone = nullptr;  // event of the one overlapped read in flight
  HANDLE wake = nullptr;      // set by WakeSerialPort and never cleared
  bool gone = false;
  std::wstring path;  // for the reason a later call fails
};

namespace {

// A gap this long ends a read: bytes within one receiver burst come closer together.
constexpr DWORD kQuietMilliseconds = 50;

// The structure size the port drivers were built for; the same on 32 and 64 bits.
static_assert(sizeof(DCB) == 28);

// "COMn:" and "COMn" name COM port n, whose device is "\\.\COMn" (the only spelling
// that reaches COM10 and above); a device path is taken as it stands.
std::wstring DevicePath(std::u16string_view name) {
  if (name.substr(0, 4) == u"\\\\.\\") return WideFromUtf16(name);
  const unsigned number = ComPortNumber(name);
  if (number == 0) return {};
  return L"\\\\.\\COM" + std::to_wstring(number);
}

void Release(SerialPort* port) {
  if (port->file != INVALID_HANDLE_VALUE) CloseHandle(port->file);
  if (port->readDone) CloseHandle(port->readDone);
  if (port->wake) CloseHandle(port->wake);
  delete port;
}

// Without an interval time-out a read waits until all its bytes have come; with
// {interval, 0, 0} it waits for the first byte, then returns once the line is quiet.
bool SetQuietTimeouts(HANDLE file) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = kQuietMilliseconds;
  return SetCommTimeouts(file, &timeouts) != 0;
}

void SetWhy(std::u16string* why, std::u16string text) {
  if (why) *why = std::move(text);
}

}  // namespace

SerialPortHandle OpenSerialPort(const char16_t* name, std::u16string* why) {
  if (!name) return kInvalidSerialPort;
  const std::wstring path = DevicePath(name);
  if (path.empty()) {
    std::u16string text = u"\"";  // appended piece by piece: GCC 12 warns wrongly on a + b + c
    text.append(name).append(u"\" names no COM port");
    SetWhy(why, std::move(text));
    return kInvalidSerialPort;
  }
  auto* port = new SerialPort;
  port->file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
  if (port->file == INVALID_HANDLE_VALUE) {
    SetWhy(why, DescribeLastError(path));
    Release(port);
    return kInvalidSerialPort;
  }
  port->readDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  port->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DCB settings{};
  settings.DCBlength = sizeof settings;
  if (!port->readDone || !port->wake || !GetCommState(port->file, &settings) ||
      !SetQuietTimeouts(port->file)) {
    SetWhy(why, DescribeLastError(path));
    Release(port);
    return kInvalidSerialPort;
  }
  port->path = path;
  return port;
}

bool SetSerialPortSpeed(SerialPortHandle port, uint32_t baudRate, std::u16string* why) {
  if (port == kInvalidSerialPort) return false;
  DCB settings{};
  settings.DCBlength = sizeof settings;
  if (GetCommState(port->file, &settings)) {
    settings.DCBlength = sizeof settings;
    settings.BaudRate = baudRate;
    // Every SetCommState applies the DCB's DTR and RTS: they stay up through
    // each speed change, unless flow control drives them.
    if (settings.fDtrControl == DTR_CONTROL_DISABLE) settings.fDtrControl = DTR_CONTROL_ENABLE;
    if (settings.fRtsControl == RTS_CONTROL_DISABLE) settings.fRtsControl = RTS_CONTROL_ENABLE;
    if (SetCommState(port->file, &settings)) return true;
  }
  SetWhy(why, DescribeLastError(port->path + L" at " + std::to_wstring(baudRate) + L" baud"));
  return false;
}

void DiscardSerialInput(SerialPortHandle port) {
  if (port != kInvalidSerialPort) PurgeComm(port->file, PURGE_RXCLEAR);
}

std::ptrdiff_t ReadSerialPort(SerialPortHandle port, char* buffer, std::size_t capacity) {
  return ReadSerialPortWithin(port, buffer, capacity, std::chrono::milliseconds(-1));
}

// A negative wait waits for the first byte without end.
std::ptrdiff_t ReadSerialPortWithin(SerialPortHandle port, char* buffer, std::size_t capacity,
                                    std::chrono::milliseconds wait) {
  if (port == kInvalidSerialPort || port->gone) return kSerialPortGone;
  if (WaitForSingleObject(port->wake, 0) == WAIT_OBJECT_0) return 0;
  const DWORD wanted = capacity > MAXDWORD ? MAXDWORD : DWORD(capacity);
  OVERLAPPED request{};
  request.hEvent = port->readDone;
  ResetEvent(port->readDone);
  if (!ReadFile(port->file, buffer, wanted, nullptr, &request) &&
      GetLastError() != ERROR_IO_PENDING) {
    port->gone = true;  // the device went away or refuses reads
    return kSerialPortGone;
  }
  const HANDLE events[] = {port->readDone, port->wake};
  const DWORD firstWait =
      wait.count() < 0 ? INFINITE : DWORD(std::min<int64_t>(wait.count(), MAXDWORD - 1));
  const bool woken = WaitForMultipleObjects(2, events, FALSE, firstWait) != WAIT_OBJECT_0;
  if (woken) CancelIoEx(port->file, &request);
  // Waits for the read's end in every case: the request lives on this stack, and
  // bytes that came just before the cancel are still handed on.
  DWORD count = 0;
  GetOverlappedResult(port->file, &request, &count, TRUE);
  if (count > 0 || woken) return std::ptrdiff_t(count);
  // With an interval time-out only, a read ends before its first byte only when
  // the line is gone (a failed read, or an end of file from a vanished device).
  port->gone = true;
  return kSerialPortGone;
}

void WakeSerialPort(SerialPortHandle port) {
  if (port != kInvalidSerialPort) SetEvent(port->wake);
}

bool SerialPortMayReturn(SerialPortHandle port) { return port != kInvalidSerialPort; }

void CloseSerialPort(SerialPortHandle port) {
  if (port != kInvalidSerialPort) Release(port);
}

// The values of the key name the ports the drivers have ("COM3"), each listed as "COM3:".
std::vector<std::u16string> SerialPortsPresent() {
  std::vector<std::u16string> present;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return present;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    wchar_t port[64] = {};
    DWORD portBytes = sizeof port - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(port), &portBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    const std::u16string text(reinterpret_cast<const char16_t*>(port));
    if (ComPortNumber(text) != 0) present.push_back(text.back() == u':' ? text : text + u':');
  }
  RegCloseKey(key);
  std::sort(present.begin(), present.end(), [](const std::u16string& a, const std::u16string& b) {
    return ComPortNumber(a) < ComPortNumber(b);
  });
  return present;
}

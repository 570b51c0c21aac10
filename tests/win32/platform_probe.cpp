// Drives the desktop Windows platform layer for the Wine tests: each command
// calls the real functions and prints "key=value" lines for the test to check.
#include <windows.h>
#undef ReplaceFile  // the layer's own, not ReplaceFileW
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "platform/clipboard.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/location.h"
#include "platform/port_list.h"
#include "platform/network.h"
#include "platform/serial_port.h"

namespace {

const char16_t* U16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

std::string Utf8(const std::u16string& text) {
  std::string out(text.size() * 3 + 1, '\0');
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.c_str()),
                          int(text.size()), out.data(), int(out.size()), nullptr, nullptr);
  out.resize(n > 0 ? n : 0);
  return out;
}

void Report(const std::string& key, const std::string& value) {
  std::printf("%s=%s\n", key.c_str(), value.c_str());
  std::fflush(stdout);
}

void Report(const std::string& key, long long value) { Report(key, std::to_string(value)); }

// Line ends and other control bytes as C escapes, so every value stays on its line.
std::string Escaped(const std::string& text) {
  std::string out;
  char code[8];
  for (unsigned char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == '\\') {
      std::snprintf(code, sizeof code, "\\x%02x", c);
      out += code;
    } else {
      out += char(c);
    }
  }
  return out;
}

// Opens each name given and sets 4800 baud on what opened.
int Open(int count, wchar_t** names) {
  for (int i = 0; i < count; ++i) {
    SerialPortHandle port = OpenSerialPort(U16(names[i]));
    const std::string key = "open[" + std::to_string(i) + "]";
    Report(key, port != kInvalidSerialPort);
    if (port == kInvalidSerialPort) continue;
    Report("speed[" + std::to_string(i) + "]", SetSerialPortSpeed(port, 4800));
    CloseSerialPort(port);
  }
  return 0;
}

// Reads until the line is gone. After a read holding "WAKE", another thread wakes
// the next (blocked) read; the time that took and the reads after it are reported.
int Read(const wchar_t* name) {
  SerialPortHandle port = OpenSerialPort(U16(name));
  if (port == kInvalidSerialPort || !SetSerialPortSpeed(port, 4800)) {
    Report("open", 0);
    return 1;
  }
  Report("open", 1);
  char buffer[513];
  for (int n = 0;; ++n) {
    const std::ptrdiff_t count = ReadSerialPort(port, buffer, 512);
    if (count == kSerialPortGone) {
      Report("gone", n);
      break;
    }
    Report("read[" + std::to_string(n) + "]", Escaped(std::string(buffer, std::size_t(count))));
    if (std::string(buffer, std::size_t(count)).find("WAKE") == std::string::npos) continue;
    std::thread waker([port] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      WakeSerialPort(port);
    });
    const auto start = std::chrono::steady_clock::now();
    const std::ptrdiff_t woken = ReadSerialPort(port, buffer, 512);
    const auto waited = std::chrono::steady_clock::now() - start;
    waker.join();
    Report("woken", woken);
    Report("woken_ms", std::chrono::duration_cast<std::chrono::milliseconds>(waited).count());
    Report("after_wake", ReadSerialPort(port, buffer, 512));
    break;
  }
  CloseSerialPort(port);
  return 0;
}

// Sets each speed of the hunt in turn on the open port, dropping what came at the
// speed before; after each it reports the speed and the first read at it, which
// the receiver's end sends once it has seen the speed on its terminal. Then one
// read that gives up after 300 ms of silence, and the ports the system lists.
int Speeds(const wchar_t* name) {
  SerialPortHandle port = OpenSerialPort(U16(name));
  Report("open", port != kInvalidSerialPort);
  if (port == kInvalidSerialPort) return 1;
  char buffer[513];
  for (const uint32_t speed : {9600u, 38400u, 115200u, 57600u, 19200u, 4800u}) {
    const bool set = SetSerialPortSpeed(port, speed);
    DiscardSerialInput(port);
    Report("set[" + std::to_string(speed) + "]", set);
    const std::ptrdiff_t count = ReadSerialPort(port, buffer, 512);
    Report("read[" + std::to_string(speed) + "]",
           Escaped(std::string(buffer, std::size_t(count > 0 ? count : 0))));
  }
  const auto start = std::chrono::steady_clock::now();
  Report("within", ReadSerialPortWithin(port, buffer, 512, std::chrono::milliseconds(300)));
  Report("within_ms", std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count());
  CloseSerialPort(port);
  std::string present;
  for (const std::u16string& found : SerialPortsPresent()) {
    if (!present.empty()) present += ',';
    present += Utf8(found);
  }
  Report("present", present);
  return 0;
}

// Opens the location service and reads count fixes (the first from the open): each
// as "latitude,longitude,accuracy,source,hdop"; then a read that another thread wakes.
// Without a service, or when a read fails, why.
int Location(int count) {
  std::u16string why;
  LocationService* service = OpenLocationService(&why);
  Report("open", service != nullptr);
  if (!service) return Report("problem", Utf8(why)), 1;
  for (int n = 0; n < count; ++n) {
    LocationFix fix;
    if (ReadLocationService(service, fix, &why) != LocationRead::Fix) {
      return Report("problem", Utf8(why)), 0;
    }
    char text[160];
    std::snprintf(text, sizeof text, "%.6f,%.6f,%.1f,%d,%s", fix.latitude, fix.longitude,
                  fix.accuracy, int(fix.source),
                  fix.hdop ? std::to_string(*fix.hdop).substr(0, 3).c_str() : "none");
    Report("fix[" + std::to_string(n) + "]", text);
  }
  std::thread waker([service] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    WakeLocationService(service);
  });
  LocationFix fix;
  Report("woken", ReadLocationService(service, fix) == LocationRead::Woken);
  waker.join();
  CloseLocationService(service);
  return 0;
}

std::string Narrow(const wchar_t* text) { return Utf8(U16(text)); }

// "connect HOST PORT": connects, then reads until the peer leaves; a read holding
// "WAKE" is followed by a read that another thread wakes. "unanswered HOST PORT":
// a connect that nobody answers, woken after 300 ms. "udp PORT COUNT": COUNT
// datagrams from any sender.
int Net(const std::wstring& what, const wchar_t* host, const wchar_t* number, int count) {
  NetSocketHandle socket = NewNetSocket();
  const uint16_t port = uint16_t(std::stoi(number));
  NetProblem problem;
  std::thread waker;
  if (what == L"unanswered") {
    waker = std::thread([socket] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      WakeNetSocket(socket);
    });
  }
  const auto start = std::chrono::steady_clock::now();
  const bool open = what == L"udp" ? BindNetSocket(socket, "", port, problem)
                                   : ConnectNetSocket(socket, Narrow(host), port,
                                                      std::chrono::seconds(10), problem);
  if (waker.joinable()) waker.join();
  Report("open", open);
  Report("problem", DescribeNetProblem(problem));
  Report("open_ms", std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count());
  char buffer[512];
  for (int n = 0; open && (what != L"udp" || n < count); ++n) {
    const std::ptrdiff_t got = ReadNetSocket(socket, buffer, sizeof buffer);
    if (got == kNetSocketGone) {
      Report("gone", n);
      break;
    }
    const std::string text(buffer, std::size_t(got));
    Report("read[" + std::to_string(n) + "]", Escaped(text));
    if (text.find("WAKE") == std::string::npos) continue;
    waker = std::thread([socket] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      WakeNetSocket(socket);
    });
    Report("woken", ReadNetSocket(socket, buffer, sizeof buffer));
    waker.join();
    Report("after_wake", ReadNetSocket(socket, buffer, sizeof buffer));
    break;
  }
  CloseNetSocket(socket);
  return 0;
}

LRESULT CALLBACK KeeperProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_TIMER) DestroyWindow(window);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, w, l);
}

// Publishes the text, then keeps a window up so that Wine goes on serving it.
int Clipboard(const wchar_t* text) {
  Report("published", PutTextOnClipboard(std::u16string_view(U16(text))));
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = KeeperProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuarvelClipboardKeeper";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowW(windowClass.lpszClassName, L"Quarvel clipboard keeper", WS_OVERLAPPEDWINDOW, 0,
                    0, 240, 60, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  SetTimer(window, 1, 60000, nullptr);  // never outlive a forgotten test
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

std::string Hex(const char* bytes) {
  std::string out;
  char digits[4];
  for (; *bytes; ++bytes) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(*bytes));
    out += digits;
  }
  return out;
}

// Text conversions, a settings-style write through a file beside, and line reads.
int Files(const wchar_t* directory) {
  char16_t module[kPathUnits];
  Report("module", GetModulePath(module, kPathUnits) ? Utf8(module) : "<none>");
  char16_t tiny[4];
  Report("module_tiny", GetModulePath(tiny, 4));
  Report("codepage", GetACP());
  const std::u16string texts[] = {u"COM1:", u"N55\u00b045.348", u"\u0416x", u"\xd800x"};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    char bytes[32];
    const bool whole = WideToMultibyte(texts[i].c_str(), bytes, sizeof bytes);
    Report("ansi[" + std::to_string(i) + "]", Hex(bytes) + (whole ? "" : "+cut"));
  }
  char cut[4];
  Report("ansi_cut",
         std::string(WideToMultibyte(u"abcdef", cut, sizeof cut) ? "whole" : "cut") + ":" + cut);
  char16_t wide[16];
  Report("wide", MultibyteToWide("N55\xb0"
                                 "1",
                                 wide, 16)
                     ? Utf8(wide)
                     : "cut");

  const std::u16string path = std::u16string(U16(directory)) + u"\\settings.ini";
  char16_t temp[kPathUnits];
  std::FILE* file = CreateFileBeside(path.c_str(), temp, kPathUnits);
  Report("beside", file != nullptr);
  if (!file) return 1;
  std::fputs("COM3:\nh\n", file);
  Report("durable", CloseFileDurably(file));
  Report("replaced", ReplaceFile(temp, path.c_str()));
  Report("temp_left",
         GetFileAttributesW(reinterpret_cast<const wchar_t*>(temp)) != INVALID_FILE_ATTRIBUTES);
  file = OpenFile(path.c_str(), "r");
  char16_t line[8];
  for (int n = 0; file && ReadWideLine(file, line, 4); ++n) {
    Report("line[" + std::to_string(n) + "]", Escaped(Utf8(line)));
  }
  if (file) std::fclose(file);
  Report("removed", RemoveFile(path.c_str()));
  Report("removed_again", RemoveFile(path.c_str()));
  return 0;
}

// Registers a device of the Ports class as a driver's installer does (its port name
// and its friendly name), for the port list to find.
int AddPortDevice(const wchar_t* port, const wchar_t* friendly) {
  HDEVINFO devices = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  const DWORD bytes = DWORD((std::wcslen(friendly) + 1) * sizeof(wchar_t));
  bool added = devices != INVALID_HANDLE_VALUE &&
               SetupDiCreateDeviceInfoW(devices, L"PORTS", &GUID_DEVCLASS_PORTS, nullptr, nullptr,
                                        DICD_GENERATE_ID, &device) &&
               SetupDiRegisterDeviceInfo(devices, &device, 0, nullptr, nullptr, nullptr) &&
               SetupDiSetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME,
                                                 reinterpret_cast<const BYTE*>(friendly), bytes);
  if (added) {
    HKEY key =
        SetupDiCreateDevRegKeyW(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    added = key != INVALID_HANDLE_VALUE &&
            RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                           DWORD((std::wcslen(port) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    if (key != INVALID_HANDLE_VALUE) RegCloseKey(key);
  }
  if (devices != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(devices);
  Report("added", added);
  return added ? 0 : 1;
}

// The port list's entries, each as "shown|port".
int Ports() {
  const std::vector<OfferedPort> offered = OfferedPorts();
  Report("ports", static_cast<long long>(offered.size()));
  for (std::size_t i = 0; i < offered.size(); ++i) {
    Report("port[" + std::to_string(i) + "]", Utf8(offered[i].shown) + "|" + Utf8(offered[i].port));
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"open") return Open(argc - 2, argv + 2);
  if (command == L"read" && argc == 3) return Read(argv[2]);
  if (command == L"speeds" && argc == 3) return Speeds(argv[2]);
  if (command == L"clipboard" && argc == 3) return Clipboard(argv[2]);
  if (command == L"files" && argc == 3) return Files(argv[2]);
  if (command == L"location" && argc == 3) return Location(_wtoi(argv[2]));
  if (command == L"ports") return Ports();
  if (command == L"add-port-device" && argc == 4) return AddPortDevice(argv[2], argv[3]);
  if (command == L"net" && argc == 5 && std::wstring(argv[2]) == L"udp") {
    return Net(argv[2], L"", argv[3], std::stoi(argv[4]));
  }
  if (command == L"net" && argc == 5) return Net(argv[2], argv[3], argv[4], 0);
  std::fprintf(stderr,
               "usage: platform_probe open NAME... | read NAME | speeds NAME | clipboard TEXT | "
               "files DIR | location COUNT | ports | add-port-device PORT FRIENDLY-NAME | "
               "net connect|unanswered HOST PORT | net udp PORT COUNT\n");
  return 2;
}

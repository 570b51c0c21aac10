// The ports the configuration form offers on Windows: "auto:", the COM ports present,
// each with its device's friendly name, then the simulated receiver.
#include <windows.h>
// Defines the device class GUIDs here rather than needing them from a library.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include "platform/port_list.h"

#include <algorithm>
#include <map>
#include <string>

#include "common/com_port_name.h"
#include "platform/serial_port.h"

namespace {

// A registry text value, or empty when it is missing or not text.
std::wstring TextValue(HKEY key, const wchar_t* name) {
  wchar_t value[256] = {};
  DWORD bytes = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return value;
}

// The friendly names of the devices of the Ports class by their port number
// ("USB Serial Device (COM3)"), from each device's PortName.
std::map<unsigned, std::wstring> FriendlyNames() {
  std::map<unsigned, std::wstring> names;
  HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    const std::wstring port = TextValue(key, L"PortName");
    RegCloseKey(key);
    wchar_t friendly[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                           reinterpret_cast<BYTE*>(friendly),
                                           sizeof friendly - sizeof(wchar_t), nullptr)) {
      continue;
    }
    const unsigned number = ComPortNumber(reinterpret_cast<const char16_t*>(port.c_str()));
    if (number != 0 && friendly[0] != 0) names[number] = friendly;
  }
  SetupDiDestroyDeviceInfoList(devices);
  return names;
}

}  // namespace

std::vector<OfferedPort> OfferedPorts() {
  std::vector<OfferedPort> offered = {{u"auto:", u"auto:"}};
  const std::map<unsigned, std::wstring> friendly = FriendlyNames();
  for (const std::u16string& port : SerialPortsPresent()) {
    const auto found = friendly.find(ComPortNumber(port));
    offered.push_back(
        {found == friendly.end() ? port : reinterpret_cast<const char16_t*>(found->second.c_str()),
         port});
  }
  offered.push_back({u"DEMO:", u"DEMO:"});
  return offered;
}

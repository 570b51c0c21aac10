// The two Bluetooth stacks on desktop Windows: a Widcomm-style tray window reached by
// window messages, and the first radio of the Windows Bluetooth API for the mode calls.
#include <windows.h>
// After windows.h, which it needs.
#include <bluetoothapis.h>

#include "platform/bluetooth.h"

#include "platform/win32/wide_text.h"

namespace {

// The first radio, or null when there is none (no adapter, no Bluetooth service).
HANDLE OpenFirstRadio() {
  BLUETOOTH_FIND_RADIO_PARAMS params{};
  params.dwSize = sizeof params;
  HANDLE radio = nullptr;
  HBLUETOOTH_RADIO_FIND search = BluetoothFindFirstRadio(&params, &radio);
  if (!search) return nullptr;
  BluetoothFindRadioClose(search);
  return radio;
}

}  // namespace

TrayWindow FindTrayWindow(const char16_t* className) {
  return reinterpret_cast<TrayWindow>(FindWindowW(AsWide(className), nullptr));
}

unsigned RegisterTrayMessage(const char16_t* name) { return RegisterWindowMessageW(AsWide(name)); }

intptr_t SendTrayMessage(TrayWindow window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  return SendMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

bool BthGetMode(uint32_t* mode) {
  HANDLE radio = OpenFirstRadio();
  if (!radio) return false;
  if (BluetoothIsDiscoverable(radio)) {
    *mode = kBthDiscoverable;
  } else {
    *mode = BluetoothIsConnectable(radio) ? kBthConnectable : kBthPowerOff;
  }
  CloseHandle(radio);
  return true;
}

bool BthSetMode(uint32_t mode) {
  HANDLE radio = OpenFirstRadio();
  if (!radio) return false;
  // Discovery needs incoming connections; switching off goes the other way round.
  bool done;
  if (mode == kBthPowerOff) {
    done = (!BluetoothIsDiscoverable(radio) || BluetoothEnableDiscovery(radio, FALSE)) &&
           BluetoothEnableIncomingConnections(radio, FALSE);
  } else {
    done = BluetoothEnableIncomingConnections(radio, TRUE) &&
           BluetoothEnableDiscovery(radio, mode == kBthDiscoverable);
  }
  CloseHandle(radio);
  return done;
}

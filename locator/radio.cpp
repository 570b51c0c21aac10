// Bluetooth radio switching: the stack is chosen afresh on every call, since the
// Widcomm tray may come or go while Quarvel runs.
#include "locator/radio.h"

#include "locator/status_dialog.h"
#include "platform/bluetooth.h"
#include "resources/resource_ids.h"

namespace {

// The tray's answer to the status query that means "radio off".
constexpr intptr_t kTrayRadioOff = 4;

// One switch request: through the tray when it is there now, else by mode.
bool SwitchRadio(const char16_t* trayMessageName, uint32_t mode) {
  const unsigned message = RegisterTrayMessage(trayMessageName);
  if (TrayWindow tray = FindTrayWindow(kBluetoothTrayClass)) {
    return SendTrayMessage(tray, message, 0, 0) != 0;
  }
  BthSetMode(mode);  // the mode call's own result tells nothing more
  return true;
}

}  // namespace

bool IsRadioOn() {
  const unsigned message = RegisterTrayMessage(u"WIDCOMM_WM_GETSTACKSTATUS");
  if (TrayWindow tray = FindTrayWindow(kBluetoothTrayClass)) {
    return SendTrayMessage(tray, message, 0, 0) != kTrayRadioOff;
  }
  uint32_t mode = kBthPowerOff;
  // Unreadable counts as off: switching on is then merely tried, and a radio
  // nobody can see is never switched off.
  if (!BthGetMode(&mode)) return false;
  return mode != kBthPowerOff;
}

bool RadioOn() {
  ShowStatus(IDS_BLUETOOTH_ON);
  if (IsRadioOn()) return true;
  return SwitchRadio(u"WIDCOMM_WM_BTRADIO_ON", kBthConnectable);
}

bool RadioOff() {
  ShowStatus(IDS_BLUETOOTH_OFF);
  if (!IsRadioOn()) return true;
  return SwitchRadio(u"WIDCOMM_WM_BTRADIO_OFF", kBthPowerOff);
}

// The two Bluetooth stacks a radio can be switched through: the Widcomm tray
// window with its registered messages, and the BthGetMode/BthSetMode mode calls.
#pragma once

#include <cstdint>

// The tray window's class; looked up with any title.
inline constexpr const char16_t* kBluetoothTrayClass = u"WCE_BTTRAY";

// Radio modes of BthGetMode/BthSetMode.
inline constexpr uint32_t kBthPowerOff = 0;
inline constexpr uint32_t kBthConnectable = 1;
inline constexpr uint32_t kBthDiscoverable = 2;

struct TrayWindowObject;
using TrayWindow = TrayWindowObject*;  // HWND on Windows; never a dialog of ours

// FindWindowW(className, no title): the window, or nullptr when there is none.
TrayWindow FindTrayWindow(const char16_t* className);
// RegisterWindowMessageW: the system-wide number of a named message, 0 on failure.
unsigned RegisterTrayMessage(const char16_t* name);
// SendMessageW: waits for the window's answer; 0 when the window has gone.
intptr_t SendTrayMessage(TrayWindow window, unsigned message, uintptr_t wParam, intptr_t lParam);

// The radio's current mode; false, with mode untouched, when it cannot be told
// (no adapter, no Bluetooth service). Returns within a few seconds at most.
bool BthGetMode(uint32_t* mode);
// Switches the radio to mode; false when that could not be done.
bool BthSetMode(uint32_t mode);

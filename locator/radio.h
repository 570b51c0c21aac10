// Switching the Bluetooth radio on and off around a run, through whichever stack is there.
#pragma once

// Whether the radio is on now, asked of the tray window when there is one, else
// of the mode calls. A radio whose mode cannot be read counts as off.
bool IsRadioOn();

// Shows "Bluetooth activation", then switches the radio on unless it is on.
// True on success as far as the stack tells.
bool RadioOn();

// Shows "Bluetooth deactivation", then switches the radio off unless it is off,
// whoever switched it on. True on success as far as the stack tells.
bool RadioOff();

// Message boxes recorded instead of shown (this test binary's stand-in for the dialog layer).
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"

struct ShownBox {
  DialogHandle owner;
  std::u16string text;
  std::u16string caption;
  unsigned flags;
};

// The boxes shown since the last call.
std::vector<ShownBox> TakeShownBoxes();

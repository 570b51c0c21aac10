// Message boxes recorded instead of shown, so the tests can check what the user was told.
#include "serial/message_box_fake.h"

#include <mutex>

namespace {
std::mutex boxesMutex;
std::vector<ShownBox> boxes;
}  // namespace

int ShowMessageBox(DialogHandle owner, const char16_t* text, const char16_t* caption,
                   unsigned flags) {
  std::lock_guard lock(boxesMutex);
  boxes.push_back({owner, text ? text : u"", caption ? caption : u"", flags});
  return kIdOk;
}

std::vector<ShownBox> TakeShownBoxes() {
  std::lock_guard lock(boxesMutex);
  std::vector<ShownBox> taken;
  taken.swap(boxes);
  return taken;
}

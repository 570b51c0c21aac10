// Look-ups over both programs' resources and the menu-bar record reader.
#include "resources/resources.h"

namespace {

template <typename Item, typename Member>
const Item* FindIn(Member member, int id) {
  for (const ResourceSet* set : {&QuarvelResources(), &QuarvelConfigResources()}) {
    for (const Item& item : set->*member) {
      if (item.id == id) return &item;
    }
  }
  return nullptr;
}

}  // namespace

const char16_t* FindStringResource(int id) {
  const StringResource* found = FindIn<StringResource>(&ResourceSet::strings, id);
  return found ? found->text : nullptr;
}

const DialogTemplate* FindDialogTemplate(int id) {
  return FindIn<DialogTemplate>(&ResourceSet::dialogs, id);
}

const MenuResource* FindMenuResource(int id) {
  return FindIn<MenuResource>(&ResourceSet::menus, id);
}

const MenuBarResource* FindMenuBarResource(int id) {
  return FindIn<MenuBarResource>(&ResourceSet::menuBars, id);
}

const BitmapResource* FindBitmapResource(int id) {
  return FindIn<BitmapResource>(&ResourceSet::bitmaps, id);
}

bool DecodeMenuBarRecord(std::span<const uint16_t> words, DecodedMenuBar& out) {
  constexpr size_t kHeader = 2, kPerButton = 7;
  if (words.size() < kHeader) return false;
  const size_t count = words[1];
  if (count > kMenuBarMaxButtons || words.size() < kHeader + count * kPerButton) return false;
  out = DecodedMenuBar{};
  out.menuId = words[0];
  out.buttonCount = int(count);
  for (size_t i = 0; i < count; ++i) {
    const uint16_t* w = &words[kHeader + i * kPerButton];
    out.buttons[i] = MenuBarButton{w[0], w[1], w[2], w[3], w[4], w[6]};
  }
  return true;
}

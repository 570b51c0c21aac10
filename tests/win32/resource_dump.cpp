// Prints a program's portable resource data ("quarvel" or "config") in template_probe's
// format, so a test can compare it with what the .rc compiled into the .exe.
#include <cstdio>
#include <cstring>
#include <string>

#include "resources/resources.h"

namespace {

std::string Utf8(const char16_t* text) {
  std::string out;
  for (; text && *text; ++text) {
    const char32_t c = *text;  // the resources hold no surrogates
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

const char* ClassName(ControlClass type) {
  switch (type) {
    case ControlClass::Static: return "Static";
    case ControlClass::Button: return "Button";
    case ControlClass::Edit: return "Edit";
    case ControlClass::ComboBox: return "ComboBox";
    case ControlClass::ListBox: return "ListBox";
  }
  return "?";
}

std::string MenuItems(std::span<const MenuItemResource> items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ";";
    out += Utf8(items[i].text);
    out += items[i].popup.empty() ? ":" + std::to_string(items[i].command)
                                  : ">(" + MenuItems(items[i].popup) + ")";
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const ResourceSet& set =
      std::strcmp(argv[1], "config") == 0 ? QuarvelConfigResources() : QuarvelResources();
  for (const DialogTemplate& d : set.dialogs) {
    std::printf("dialog[%d]=%s|%d,%d,%d,%d|%08x|%s|%d\n", d.id, Utf8(d.title).c_str(), d.x, d.y,
                d.width, d.height, unsigned(d.style), Utf8(d.fontName).c_str(), d.fontPoints);
    for (size_t i = 0; i < d.controls.size(); ++i) {
      const ControlTemplate& c = d.controls[i];
      std::printf("control[%d][%zu]=%d|%s|%s|%d,%d,%d,%d|%08x\n", d.id, i, c.id,
                  ClassName(c.controlClass), Utf8(c.text).c_str(), c.x, c.y, c.width, c.height,
                  unsigned(c.style));
    }
  }
  for (const MenuResource& m : set.menus)
    std::printf("menu[%d]=%s\n", m.id, MenuItems(m.items).c_str());
  for (const MenuBarResource& b : set.menuBars) {
    std::string line;
    for (size_t i = 0; i < b.words.size(); ++i) line += (i ? "," : "") + std::to_string(b.words[i]);
    std::printf("menubar[%d]=%s\n", b.id, line.c_str());
  }
  for (const StringResource& s : set.strings)
    std::printf("string[%d]=%s\n", s.id, Utf8(s.text).c_str());
  return 0;
}

// The programs' resources as data: string tables, dialog templates, menus,
// menu-bar records and bitmap descriptions, read by the core on every platform.
#pragma once

#include "resources/resource_ids.h"

#include <cstdint>
#include <span>

// Win32 window styles, so that the templates can be written out as .rc text.
inline constexpr uint32_t kWsPopup = 0x80000000;
inline constexpr uint32_t kWsChild = 0x40000000;
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsCaption = 0x00C00000;
inline constexpr uint32_t kWsBorder = 0x00800000;
inline constexpr uint32_t kWsVScroll = 0x00200000;
inline constexpr uint32_t kWsSysMenu = 0x00080000;
inline constexpr uint32_t kWsGroup = 0x00020000;
inline constexpr uint32_t kWsTabStop = 0x00010000;
inline constexpr uint32_t kDsSetFont = 0x40;
inline constexpr uint32_t kDsModalFrame = 0x80;
inline constexpr uint32_t kDsCenter = 0x800;
inline constexpr uint32_t kSsLeft = 0x0;
inline constexpr uint32_t kSsLeftNoWordWrap = 0xC;
inline constexpr uint32_t kSsBitmap = 0xE;
inline constexpr uint32_t kSsEndEllipsis = 0x4000;
inline constexpr uint32_t kBsPushButton = 0x0;
inline constexpr uint32_t kBsAutoCheckBox = 0x3;
inline constexpr uint32_t kBsLeftText = 0x20;
inline constexpr uint32_t kEsAutoHScroll = 0x80;
inline constexpr uint32_t kCbsDropDown = 0x2;
inline constexpr uint32_t kCbsDropDownList = 0x3;
inline constexpr uint32_t kCbsAutoHScroll = 0x40;

// Window class of a control as a dialog template names it.
enum class ControlClass { Static, Button, Edit, ComboBox, ListBox };

struct ControlTemplate {
  int id;
  ControlClass controlClass;
  const char16_t* text;     // initial text; for a bitmap static, empty
  int x, y, width, height;  // dialog units
  uint32_t style;           // Win32 style bits, kWsChild | kWsVisible included
  int imageId;              // bitmap of a bitmap static, else 0
};

struct DialogTemplate {
  int id;
  const char16_t* title;
  int x, y, width, height;  // dialog units
  uint32_t style;
  const char16_t* fontName;
  int fontPoints;
  std::span<const ControlTemplate> controls;  // template order = tab order
};

struct StringResource {
  int id;
  const char16_t* text;
};

struct MenuItemResource {
  int command;  // 0 for a pop-up
  const char16_t* text;
  std::span<const MenuItemResource> popup;
};

struct MenuResource {
  int id;
  std::span<const MenuItemResource> items;
};

// 16-bit words: menu id, button count, then per button image, command, state,
// style, label string id, 0, sub-menu index.
struct MenuBarResource {
  int id;
  std::span<const uint16_t> words;
};

struct BitmapResource {
  int id;
  const char* fileName;  // beside this file
  uint32_t fillRgb;      // colour of the square, 0xRRGGBB
  int width, height;
};

struct ResourceSet {
  std::span<const StringResource> strings;
  std::span<const DialogTemplate> dialogs;
  std::span<const MenuResource> menus;
  std::span<const MenuBarResource> menuBars;
  std::span<const BitmapResource> bitmaps;
};

const ResourceSet& QuarvelResources();
const ResourceSet& QuarvelConfigResources();

// Look-ups over both programs' resources (their ids differ within each type).
const char16_t* FindStringResource(int id);
const DialogTemplate* FindDialogTemplate(int id);
const MenuResource* FindMenuResource(int id);
const MenuBarResource* FindMenuBarResource(int id);
const BitmapResource* FindBitmapResource(int id);

// Menu-bar record values.
inline constexpr uint16_t kMenuBarNoImage = 65534;
inline constexpr uint16_t kMenuBarNoSubMenu = 65535;
inline constexpr uint16_t kMenuBarStateEnabled = 4;
inline constexpr uint16_t kMenuBarStyleButton = 16;
inline constexpr uint16_t kMenuBarStyleDropDown = 24;
inline constexpr int kMenuBarMaxButtons = 8;

struct MenuBarButton {
  uint16_t image, command, state, style, labelStringId, subMenu;
};

struct DecodedMenuBar {
  int menuId = 0;
  int buttonCount = 0;
  MenuBarButton buttons[kMenuBarMaxButtons] = {};
};

// Reads a menu-bar record; false when it is shorter than its count says, or
// its count is beyond kMenuBarMaxButtons.
bool DecodeMenuBarRecord(std::span<const uint16_t> words, DecodedMenuBar& out);

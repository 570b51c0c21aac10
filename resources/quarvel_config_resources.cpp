// QuarvelConfig's resources: form layouts 114 and 415, the shortcut name dialog
// 115, menus and menu-bar records 114 and 116, soft-key labels.
#include "resources/resources.h"

namespace {

constexpr uint32_t kChild = kWsChild | kWsVisible;
constexpr uint32_t kPortCombo = kChild | kWsTabStop | kWsVScroll | kCbsDropDown | kCbsAutoHScroll;
constexpr uint32_t kMapCombo = kChild | kWsTabStop | kWsVScroll | kCbsDropDownList;
constexpr uint32_t kCheckBox = kChild | kWsTabStop | kBsAutoCheckBox | kBsLeftText;
constexpr uint32_t kLabel = kChild | kSsLeft;
constexpr uint32_t kFormStyle = kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont;
constexpr const char16_t* kCopyright = u"(c) 2026 the Quarvel team";

constexpr ControlTemplate kPocketPcControls[] = {
    {IDC_PORT, ControlClass::ComboBox, u"", 93, 4, 59, 48, kPortCombo, 0},
    {IDC_COPYRIGHT, ControlClass::Static, kCopyright, 22, 151, 120, 8, kLabel, 0},
    // 20 units wide, not the handheld's 16: those cut the colon off at 150 % scaling.
    {IDC_LABEL, ControlClass::Static, u"GPS:", 11, 6, 20, 8, kLabel, 0},
    {IDC_COORDINATES_ONLY, ControlClass::Button, u"Coordinates only:", 11, 44, 133, 10, kCheckBox,
     0},
    {IDC_BLUETOOTH, ControlClass::Button, u"Bluetooth:", 11, 25, 133, 10, kCheckBox, 0},
    {IDC_MAP_TYPE, ControlClass::ComboBox, u"", 85, 64, 65, 60, kMapCombo, 0},
    {IDC_LABEL, ControlClass::Static, u"Map type:", 11, 66, 34, 8, kLabel, 0},
    {IDC_LITE_MAP, ControlClass::Button, u"Lite map:", 11, 87, 133, 10, kCheckBox, 0},
    // Wide enough for its first entry, "as Coordinates only says", whole.
    {IDC_FORMAT, ControlClass::ComboBox, u"", 45, 105, 110, 100, kMapCombo, 0},
    {IDC_LABEL, ControlClass::Static, u"Format:", 11, 107, 30, 8, kLabel, 0},
};

constexpr ControlTemplate kSmartphoneControls[] = {
    {IDC_PORT, ControlClass::ComboBox, u"", 73, 2, 48, 40, kPortCombo, 0},
    {IDC_COPYRIGHT, ControlClass::Static, kCopyright, 11, 97, 111, 8, kLabel, 0},
    {IDC_LABEL, ControlClass::Static, u"GPS COM-port:", 6, 3, 61, 8, kLabel, 0},
    {IDC_COORDINATES_ONLY, ControlClass::Button, u"Coordinates only:", 5, 32, 114, 10, kCheckBox,
     0},
    {IDC_BLUETOOTH, ControlClass::Button, u"Bluetooth:", 5, 18, 114, 10, kCheckBox, 0},
    {IDC_MAP_TYPE, ControlClass::ComboBox, u"", 62, 47, 59, 43, kMapCombo, 0},
    {IDC_LABEL, ControlClass::Static, u"Map type:", 6, 48, 44, 8, kLabel, 0},
    {IDC_LITE_MAP, ControlClass::Button, u"Lite map:", 5, 64, 114, 10, kCheckBox, 0},
    {IDC_FORMAT, ControlClass::ComboBox, u"", 33, 79, 100, 100, kMapCombo, 0},
    {IDC_LABEL, ControlClass::Static, u"Format:", 6, 80, 26, 8, kLabel, 0},
};

constexpr ControlTemplate kShortcutNameControls[] = {
    {IDC_LABEL, ControlClass::Static, u"Enter shortcut name:", 15, 14, 83, 8, kLabel, 0},
    {IDC_SHORTCUT_NAME, ControlClass::Edit, u"", 14, 31, 90, 14,
     kChild | kWsBorder | kWsTabStop | kEsAutoHScroll, 0},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIG, u"Quarvel", 0, 0, 165, 178, kFormStyle, u"MS Shell Dlg", 8, kPocketPcControls},
    {IDD_CONFIG_SMARTPHONE, u"Quarvel", 0, 0, 140, 125, kFormStyle, u"MS Shell Dlg", 8,
     kSmartphoneControls},
    {IDD_SHORTCUT_NAME, u"Quarvel", 0, 0, 123, 71, kFormStyle, u"MS Shell Dlg", 8,
     kShortcutNameControls},
};

constexpr StringResource kStrings[] = {
    {IDS_EXIT, u"Exit"},
    {IDS_SAVE, u"Save"},
    {IDS_OK, u"Ok"},
    {IDS_CANCEL, u"Cancel"},
};

constexpr MenuItemResource kSavePopup[] = {
    {IDM_MAIN_CONFIG, u"Main config", {}},
    {IDM_SHORTCUT, u"Shortcut", {}},
};
constexpr MenuItemResource kConfigMenu[] = {
    {IDM_EXIT, u"Exit", {}},
    {0, u"Save", kSavePopup},
};
constexpr MenuItemResource kNameMenu[] = {
    {IDM_NAME_MENU_CANCEL, u"Cancel", {}},
    {IDM_NAME_MENU_OK, u"Ok", {}},
};
constexpr MenuResource kMenus[] = {
    {IDM_CONFIG, kConfigMenu},
    {IDM_SHORTCUT_NAME, kNameMenu},
};

constexpr uint16_t kConfigBar[] = {
    IDM_CONFIG,
    2,
    kMenuBarNoImage,
    IDM_EXIT,
    kMenuBarStateEnabled,
    kMenuBarStyleButton,
    IDS_EXIT,
    0,
    kMenuBarNoSubMenu,
    kMenuBarNoImage,
    IDM_SAVE,
    kMenuBarStateEnabled,
    kMenuBarStyleDropDown,
    IDS_SAVE,
    0,
    1,
};
constexpr uint16_t kNameBar[] = {
    IDM_SHORTCUT_NAME,
    2,
    kMenuBarNoImage,
    IDM_NAME_CANCEL,
    kMenuBarStateEnabled,
    kMenuBarStyleButton,
    IDS_CANCEL,
    0,
    kMenuBarNoSubMenu,
    kMenuBarNoImage,
    IDM_NAME_OK,
    kMenuBarStateEnabled,
    kMenuBarStyleButton,
    IDS_OK,
    0,
    kMenuBarNoSubMenu,
};
constexpr MenuBarResource kMenuBars[] = {
    {IDM_CONFIG, kConfigBar},
    {IDM_SHORTCUT_NAME, kNameBar},
};

constexpr ResourceSet kSet = {kStrings, kDialogs, kMenus, kMenuBars, {}};

}  // namespace

const ResourceSet& QuarvelConfigResources() { return kSet; }

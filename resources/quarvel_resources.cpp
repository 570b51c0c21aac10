// Quarvel's resources: status dialog 102, indicator bitmaps, status texts.
#include "resources/resources.h"

namespace {

constexpr uint32_t kChild = kWsChild | kWsVisible;

constexpr ControlTemplate kStatusControls[] = {
    {IDC_INDICATOR, ControlClass::Static, u"", 107, 1, 12, 11, kChild | kSsBitmap,
     IDB_INDICATOR_BLACK},
    {IDC_STOP, ControlClass::Button, u"Stop", 86, 25, 33, 14, kChild | kWsTabStop | kBsPushButton,
     0},
    {IDC_STATUS_LINE, ControlClass::Static, u"", 1, 3, 96, 8, kChild | kWsGroup | kSsLeft, 0},
    // A line of its own: a long detail is cut with "...", never wrapped out of sight.
    {IDC_WAIT_DETAIL, ControlClass::Static, u"", 1, 12, 118, 8,
     kChild | kWsGroup | kSsLeftNoWordWrap | kSsEndEllipsis, 0},
    {IDC_TITLE, ControlClass::Static, u"Quarvel 4.0", 1, 31, 52, 8, kChild | kWsGroup | kSsLeft, 0},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_STATUS, u"", 0, 0, 120, 40, kWsPopup | kWsSysMenu | kDsModalFrame | kDsCenter | kDsSetFont,
     u"MS Shell Dlg", 8, kStatusControls},
};

constexpr StringResource kStrings[] = {
    {IDS_BLUETOOTH_ON, u"Bluetooth activation"},
    {IDS_BLUETOOTH_OFF, u"Bluetooth deactivation"},
    {IDS_CONNECTING, u"Connecting..."},
    {IDS_WAITING, u"Waiting for GPS-data..."},
    {IDS_SAVING, u"Saving..."},
    {IDS_LOADING, u"Loading settings..."},
};

// Colours as resources/make_bitmaps.py draws them.
constexpr BitmapResource kBitmaps[] = {
    {IDB_INDICATOR_GREEN, "indicator_green.bmp", 0x00C000, 18, 18},
    {IDB_INDICATOR_RED, "indicator_red.bmp", 0xE00000, 18, 18},
    {IDB_INDICATOR_BLACK, "indicator_black.bmp", 0x000000, 18, 18},
};

constexpr ResourceSet kSet = {kStrings, kDialogs, {}, {}, kBitmaps};

}  // namespace

const ResourceSet& QuarvelResources() { return kSet; }

// QuarvelConfig's form: setting it up, the settings into its controls and back,
// the greying rule, saving, and its procedure.
#include "config/config_dialog.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "config/config_state.h"
#include "config/shortcut_dialog.h"
#include "locator/position_formats.h"
#include "platform/port_list.h"
#include "resources/resource_ids.h"
#include "settings/map_types.h"
#include "settings/settings_file.h"
#include "settings/settings_path.h"

namespace {

// A known letter selects the entry of its name; any other the first entry.
void SelectMapEntry(DialogHandle dialog, char16_t letter) {
  const char16_t* entry = MapEntryForLetter(letter);
  if (!entry) {
    ComboSetSelection(dialog, IDC_MAP_TYPE, 0);
    return;
  }
  const int index = ComboFindString(dialog, IDC_MAP_TYPE, 0, entry);
  if (index != kCbErr) ComboSetSelection(dialog, IDC_MAP_TYPE, index);
}

// The letter saved for the selected map entry (the first entry when none is).
const char16_t* SelectedMapLetter(DialogHandle dialog) {
  int index = ComboGetSelection(dialog, IDC_MAP_TYPE);
  if (index == kCbErr) index = 0;
  char16_t entry[64];
  ComboGetItemText(dialog, IDC_MAP_TYPE, index, entry, 64);
  return MapLetterForEntry(entry);
}

// A listed port shows as its entry does ("u-blox 7 GPS/GNSS Receiver (ttyACM0)");
// any other text as it stands.
const char16_t* ShownPortText(const char16_t* portText) {
  for (const OfferedPort& offered : Config().offeredPorts) {
    if (offered.port == portText) return offered.shown.c_str();
  }
  return portText;
}

// The field's text saves as the port of the entry that shows it; a typed text as typed.
void PortTextFromField(const char16_t* field, char16_t (&portName)[kPortNameUnits + 1]) {
  std::u16string_view port = field;
  for (const OfferedPort& offered : Config().offeredPorts) {
    if (offered.shown == field) port = offered.port;
  }
  portName[port.copy(portName, kPortNameUnits)] = 0;
}

// The format list: the choice that leaves it to coordinates only, then every format
// by name in the table's order.
constexpr const char16_t* kFormatByCoordinatesOnly = u"as Coordinates only says";

std::vector<std::u16string> FormatEntries() {
  std::vector<std::u16string> entries{kFormatByCoordinatesOnly};
  const std::u16string names = PositionFormatNames(u"\n");
  for (std::size_t at = 0; at <= names.size();) {
    const std::size_t end = std::min(names.find(u'\n', at), names.size());
    entries.push_back(names.substr(at, end - at));
    at = end + 1;
  }
  return entries;
}

// The entry of a format name: the first for none, the format's own for a known name
// in any case; kCbErr for a name the list does not hold, which then stays as loaded.
int FormatEntryIndex(std::u16string_view name) {
  if (name.empty()) return 0;
  const std::optional<PositionFormat> format = FindPositionFormat(name);
  if (!format) return kCbErr;
  const std::vector<std::u16string> entries = FormatEntries();
  const auto found = std::find(entries.begin() + 1, entries.end(), PositionFormatName(*format));
  return found == entries.end() ? kCbErr : int(found - entries.begin());
}

// The format name of the selected entry: none for the first entry; the loaded name
// when no entry is selected.
void TakeSelectedFormat(DialogHandle dialog, Settings& settings) {
  const int index = ComboGetSelection(dialog, IDC_FORMAT);
  if (index == kCbErr) return;
  char16_t name[16] = {};
  if (index > 0) ComboGetItemText(dialog, IDC_FORMAT, index, name, 16);
  std::u16string_view(name).copy(settings.format, std::size(settings.format) - 1);
  settings.format[std::u16string_view(name).size()] = 0;
}

// The first values of settings into their controls; the other controls keep what
// they show.
void SettingsIntoForm(DialogHandle dialog, const Settings& settings, int values) {
  for (int i = 0; i < values; ++i) {
    switch (i) {
      case kPortValue: SetControlText(dialog, IDC_PORT, ShownPortText(settings.portName)); break;
      case kMapTypeValue: SelectMapEntry(dialog, settings.mapType[0]); break;
      case kLiteMapValue: SetCheck(dialog, IDC_LITE_MAP, settings.liteMap); break;
      case kBluetoothValue: SetCheck(dialog, IDC_BLUETOOTH, settings.bluetooth); break;
      case kCoordinatesOnlyValue:
        SetCheck(dialog, IDC_COORDINATES_ONLY, settings.coordinatesOnly);
        break;
    }
  }
}

void FillCombos(DialogHandle dialog) {
  for (const MapType& type : kMapTypes) ComboAddString(dialog, IDC_MAP_TYPE, type.entry);
  for (const std::u16string& entry : FormatEntries()) {
    ComboAddString(dialog, IDC_FORMAT, entry.c_str());
  }
  Config().offeredPorts = OfferedPorts();
  for (const OfferedPort& offered : Config().offeredPorts) {
    ComboAddString(dialog, IDC_PORT, offered.shown.c_str());
  }
}

void ReportSaveFailure(DialogHandle dialog, const char16_t* path) {
  std::u16string text = u"The config could not be saved: the settings file cannot be written.";
  if (*path) text += std::u16string(u"\n\n") + path;
  ShowMessageBox(dialog, text.c_str(), u"Error!", kMbOk | kMbIconError);
}

intptr_t OnCommand(DialogHandle dialog, unsigned command) {
  switch (command) {
    case IDM_EXIT: EndDialogWith(dialog, 0); return 1;
    case IDC_COORDINATES_ONLY: UpdateMapControls(dialog); return 1;
    case IDM_MAIN_CONFIG: SaveMainConfig(dialog); return 1;
    case IDM_SHORTCUT: SaveShortcut(); return 1;
    default: return 0;
  }
}

}  // namespace

bool InitConfigDialog(DialogHandle dialog) {
  if (!CreateMenuBar(dialog, IDM_CONFIG)) return false;
  if (!InitFullScreenDialog(dialog, kShidifSizeDlgFullScreen)) return false;
  SendMenuBarMessage(dialog, kShcmbmOverrideKey, kVkTBack, kBackKeyOverride);
  FillCombos(dialog);
  ComboLimitText(dialog, IDC_PORT, int(kPortNameUnits));
  LoadSettingsIntoForm(dialog);
  SetDialogTitle(dialog, kConfigFormTitle);
  return true;
}

void LoadSettingsIntoForm(DialogHandle dialog) {
  Settings settings;
  const SettingsFileRead read = ReadSettingsFile(Config().settingsPath, settings);
  if (read.found) {
    SettingsIntoForm(dialog, settings, read.values);
  } else {
    settings = FormDefaults();
    SettingsIntoForm(dialog, settings, kSettingsValueCount);
  }
  // A file without a format line leaves the line to coordinates only: the first entry.
  ComboSetSelection(dialog, IDC_FORMAT, FormatEntryIndex(settings.format));
  Config().loaded = settings;
  UpdateMapControls(dialog);
}

void UpdateMapControls(DialogHandle dialog) {
  const bool usable = !IsChecked(dialog, IDC_COORDINATES_ONLY);
  EnableControl(dialog, IDC_LITE_MAP, usable);
  EnableControl(dialog, IDC_MAP_TYPE, usable);
}

Settings SettingsFromForm(DialogHandle dialog) {
  Settings settings = Config().loaded;
  char16_t field[kPortNameUnits + 1];
  GetControlText(dialog, IDC_PORT, field, int(std::size(field)));
  PortTextFromField(field, settings.portName);
  const std::u16string_view letter = SelectedMapLetter(dialog);
  settings.mapType[letter.copy(settings.mapType, 1)] = 0;
  settings.liteMap = IsChecked(dialog, IDC_LITE_MAP);
  settings.bluetooth = IsChecked(dialog, IDC_BLUETOOTH);
  settings.coordinatesOnly = IsChecked(dialog, IDC_COORDINATES_ONLY);
  TakeSelectedFormat(dialog, settings);
  return settings;
}

void SaveMainConfig(DialogHandle dialog) {
  const char16_t* path = Config().settingsPath;
  const bool saved = *path && PrepareSettingsFolder(path) &&
                     WriteSettingsFile(path, SettingsFromForm(dialog), kFormatValue + 1);
  if (saved) {
    ShowMessageBox(dialog, u"Config saved successfully!", u"Ok!", kMbOk);
  } else {
    ReportSaveFailure(dialog, path);
  }
}

intptr_t ConfigDialogProc(DialogHandle dialog, unsigned message, uintptr_t wParam,
                          intptr_t lParam) {
  Config().mainDialog = dialog;
  switch (message) {
    case kWmActivate:
      if (LowWord(wParam) != kWaInactive) {
        FocusDialog(dialog);
        // The form's first field takes the keys, so the Back key has a field to
        // delete in.
        FocusControl(dialog, IDC_PORT);
      }
      return 1;
    case kWmClose: EndDialogWith(dialog, 0); return 1;
    case kWmInitDialog:
      if (!InitConfigDialog(dialog)) EndDialogWith(dialog, -1);
      return 1;
    case kWmCommand: return OnCommand(dialog, LowWord(wParam));
    case kWmHotKey:
      if (HighWord(uintptr_t(lParam)) == kVkTBack) SendBackToFocusWindow(kWmHotKey, wParam, lParam);
      return 1;
    default: return 0;
  }
}

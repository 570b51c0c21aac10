// QuarvelConfig's form: setting it up, loading settings.ini into it, the greying
// rule, saving, and its procedure.
#include "config/config_dialog.h"

#include <string>

#include "common/settings_lines.h"
#include "common/settings_path.h"
#include "config/config_state.h"
#include "config/settings_writer.h"
#include "config/shortcut_dialog.h"
#include "platform/serial_port.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char16_t* kMapEntries[] = {u"Normal", u"Satellite", u"Hybrid", u"Physical"};
constexpr int kPortFieldUnits = int(kPortNameUnits) + 1;  // with the terminator

// The entry a saved letter names; only the lower-case letters are known.
const char16_t* MapEntryForLetter(char16_t letter) {
  switch (letter) {
    case u'h': return u"Hybrid";
    case u'n': return u"Normal";
    case u'p': return u"Physical";
    case u's': return u"Satellite";
    default: return nullptr;
  }
}

void LoadMapType(DialogHandle dialog, char16_t* line) {
  const char16_t* entry = MapEntryForLetter(TrimLineEnd(line)[0]);
  if (!entry) {
    ComboSetSelection(dialog, IDC_MAP_TYPE, 0);
    return;
  }
  const int index = ComboFindString(dialog, IDC_MAP_TYPE, 0, entry);
  if (index != kCbErr) ComboSetSelection(dialog, IDC_MAP_TYPE, index);
}

void LoadDefaults(DialogHandle dialog) {
  SetControlText(dialog, IDC_PORT, u"COM1:");
  ComboSetSelection(dialog, IDC_MAP_TYPE, 0);
  SetCheck(dialog, IDC_LITE_MAP, true);
}

void FillCombos(DialogHandle dialog) {
  for (const char16_t* entry : kMapEntries) ComboAddString(dialog, IDC_MAP_TYPE, entry);
  for (const std::u16string& name : OfferedPortNames()) {
    ComboAddString(dialog, IDC_PORT, name.c_str());
  }
  char16_t port[] = u"COM1:";
  for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
    port[3] = digit;
    ComboAddString(dialog, IDC_PORT, port);
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
  SettingsValues values = ReadSavedSettings(Config().settingsPath);
  if (!values.found) {
    LoadDefaults(dialog);
  } else {
    for (int i = 0; i < values.count; ++i) {
      char16_t* line = values.lines[i];
      switch (i) {
        case kPortValue: SetControlText(dialog, IDC_PORT, TrimLineEnd(CutPortLine(line))); break;
        case kMapTypeValue: LoadMapType(dialog, line); break;
        case kLiteMapValue: SetCheck(dialog, IDC_LITE_MAP, IsFlagOn(line)); break;
        case kBluetoothValue: SetCheck(dialog, IDC_BLUETOOTH, IsFlagOn(line)); break;
        case kCoordinatesOnlyValue: SetCheck(dialog, IDC_COORDINATES_ONLY, IsFlagOn(line)); break;
      }
    }
  }
  UpdateMapControls(dialog);
}

void UpdateMapControls(DialogHandle dialog) {
  const bool usable = !IsChecked(dialog, IDC_COORDINATES_ONLY);
  EnableControl(dialog, IDC_LITE_MAP, usable);
  EnableControl(dialog, IDC_MAP_TYPE, usable);
}

const char16_t* SelectedMapLetter(DialogHandle dialog) {
  int index = ComboGetSelection(dialog, IDC_MAP_TYPE);
  if (index == kCbErr) index = 0;
  char16_t entry[64];
  ComboGetItemText(dialog, IDC_MAP_TYPE, index, entry, 64);
  return MapLetterForEntry(entry);
}

void SaveMainConfig(DialogHandle dialog) {
  char16_t port[kPortFieldUnits];
  GetControlText(dialog, IDC_PORT, port, kPortFieldUnits);
  const char16_t* path = Config().settingsPath;
  const bool saved =
      *path && PrepareSettingsFolder(path) &&
      WriteSettingsFile(path, port, SelectedMapLetter(dialog), IsChecked(dialog, IDC_LITE_MAP),
                        IsChecked(dialog, IDC_BLUETOOTH), IsChecked(dialog, IDC_COORDINATES_ONLY));
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

// QuarvelConfig's shortcuts: the name dialog and the shortcut that starts Quarvel
// with the form's settings.
#include "config/shortcut_dialog.h"

#include <cstdio>
#include <string_view>

#include "common/program_folder.h"
#include "config/config_dialog.h"
#include "config/config_state.h"
#include "locator/position_formats.h"
#include "platform/files.h"
#include "platform/shortcuts.h"
#include "resources/resource_ids.h"
#include "settings/launch_arguments.h"

namespace {

// Big enough that a name too long for any shortcut path is seen whole, not cut.
constexpr int kNameUnits = int(kShortcutPathMax) + 2;
constexpr std::u16string_view kExtension = u".lnk";

void ClearShortcutPath() { Config().shortcutPath[0] = 0; }

// A file this shortcut would replace: the shortcut, or what the platform puts beside it.
bool ShortcutWouldReplace(const std::u16string& path) {
  if (std::FILE* existing = OpenFile(path.c_str(), "r")) {
    std::fclose(existing);
    return true;
  }
  return ShortcutCompanionExists(path.c_str());
}

void TellError(const char16_t* text) {
  ShowMessageBox(Config().mainDialog, text, u"Error!", kMbIconExclamation);
}

// The Programs folder with a separator after it, or an empty text when unknown.
std::u16string ProgramsFolderPrefix() {
  char16_t folder[kPathUnits];
  if (!GetProgramsFolder(folder, kPathUnits)) return {};
  std::u16string prefix = folder;
  if (prefix.empty() || prefix.back() != PathSeparator()) prefix += PathSeparator();
  return prefix;
}

// Ok or Done: takes the name, asks before overwriting, and ends the dialog with the
// path, or keeps it open with none.
void AcceptName(DialogHandle dialog) {
  ClearShortcutPath();
  const std::u16string folder = ProgramsFolderPrefix();
  if (folder.empty()) {
    TellError(u"The Programs folder cannot be found, so no shortcut can be saved.");
    return;
  }
  char16_t name[kNameUnits];
  GetControlText(dialog, IDC_SHORTCUT_NAME, name, kNameUnits);
  if (!name[0]) {
    TellError(u"You must enter valid shortcut name!");
    return;
  }
  const std::u16string path = folder + name + std::u16string(kExtension);
  if (path.size() > kShortcutPathMax) {
    TellError(u"The shortcut name is too long: shorten it and try again.");
    return;
  }
  if (ShortcutWouldReplace(path)) {
    const int answer = ShowMessageBox(Config().mainDialog, u"This file already exists. Overwrite?",
                                      u"Quarvel", kMbYesNo);
    if (answer != kIdYes) return;
  }
  path.copy(Config().shortcutPath, path.size());
  Config().shortcutPath[path.size()] = 0;
  EndDialogWith(dialog, 0);
}

intptr_t InitNameDialog(DialogHandle dialog) {
  const unsigned flags =
      Config().smartphone ? kShidifSizeDlgFullScreen : kShidifSizeDlgFullScreen | kShidifDoneButton;
  if (!InitFullScreenDialog(dialog, flags)) return 0;
  if (!CreateMenuBar(dialog, IDM_SHORTCUT_NAME)) {
    ShowMessageBox(dialog, u"Menubar failed", u"Error!", kMbOk);
    DestroyDialog(dialog);
    return 0;
  }
  SendMenuBarMessage(dialog, kShcmbmOverrideKey, kVkTBack, kBackKeyOverride);
  return 1;
}

}  // namespace

std::u16string LocatorTargetBeside(const char16_t* modulePath) {
  return std::u16string(ProgramFolder(modulePath, PathSeparator())) + LocatorProgramFileName();
}

void SaveShortcut() {
  ConfigState& state = Config();
  ClearShortcutPath();
  RunModalDialog(IDD_SHORTCUT_NAME, state.mainDialog, ShortcutNameDialogProc, 0);
  if (!state.shortcutPath[0]) return;
  char16_t module[kPathUnits];
  GetModulePath(module, kPathUnits);
  const std::u16string target = LocatorTargetBeside(module);
  Settings settings = SettingsFromForm(state.mainDialog);
  // Only a name Quarvel knows goes on the line: a hand-written one may hold a space,
  // which would shift the five words after it.
  if (!FindPositionFormat(settings.format)) settings.format[0] = 0;
  const std::u16string arguments = ComposeShortcutArguments(settings);
  if (WriteShortcut(state.shortcutPath, target.c_str(), arguments.c_str())) {
    ShowMessageBox(state.mainDialog, u"Shortcut saved successfully!", u"Ok!", kMbOk);
  } else {
    const std::u16string text =
        std::u16string(u"The shortcut could not be written:\n\n") + state.shortcutPath;
    ShowMessageBox(state.mainDialog, text.c_str(), u"Error!", kMbOk | kMbIconError);
  }
}

intptr_t ShortcutNameDialogProc(DialogHandle dialog, unsigned message, uintptr_t wParam,
                                intptr_t lParam) {
  ForwardInputDialog(dialog, message, wParam);
  switch (message) {
    case kWmInitDialog: ClearShortcutPath(); return InitNameDialog(dialog);
    case kWmCommand:
      switch (LowWord(wParam)) {
        case kIdOk:
        case IDM_NAME_OK: AcceptName(dialog); return 1;
        case kIdCancel:
        case IDM_NAME_CANCEL:
          ClearShortcutPath();
          EndDialogWith(dialog, 0);
          return 1;
        default: return 0;
      }
    case kWmHotKey: SendBackToFocusWindow(kWmHotKey, wParam, lParam); return 1;
    default: return 0;
  }
}

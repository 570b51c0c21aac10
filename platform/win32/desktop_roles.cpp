// What a desktop expects of a handheld dialog that becomes a program's window:
// the status window, caption-less as on the handheld, still needs a title for the
// taskbar and Alt-Tab, and Esc to mean its Stop button.
#include "platform/win32/dialog_window.h"
#include "resources/resource_ids.h"

namespace {

struct DesktopRole {
  int templateId;
  const wchar_t* title;  // never "Quarvel": QuarvelConfig looks for its form by that title
  int escapeButton;      // the button Esc presses, 0 for the dialog's own IDCANCEL
};

constexpr DesktopRole kRoles[] = {
    {IDD_STATUS, L"Quarvel GPS", IDC_STOP},
};

const DesktopRole* RoleOf(const win32_dialogs::DialogContext& context) {
  for (const DesktopRole& role : kRoles) {
    if (role.templateId == context.templateId) return &role;
  }
  return nullptr;
}

}  // namespace

namespace win32_dialogs {

void ApplyDesktopRole(HWND window, const DialogContext& context) {
  const DesktopRole* role = RoleOf(context);
  if (role && role->title) SetWindowTextW(window, role->title);
}

bool HandleDesktopEscape(HWND window, DialogContext& context, WPARAM wParam) {
  const DesktopRole* role = RoleOf(context);
  if (!role || !role->escapeButton || LOWORD(wParam) != IDCANCEL || context.ended) return false;
  // A close posts IDCANCEL after ending the dialog: nothing left to press then.
  HWND button = GetDlgItem(window, role->escapeButton);
  if (!button || GetDlgItem(window, IDCANCEL) || !IsWindowEnabled(button)) return false;
  context.proc(Handle(window), WM_COMMAND, MAKEWPARAM(role->escapeButton, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  return true;
}

}  // namespace win32_dialogs

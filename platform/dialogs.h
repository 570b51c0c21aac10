// Dialogs, controls, message boxes and shell services over an opaque handle.
// Message and flag values are Win32's, so the portable dialog procedures read the
// same everywhere; names carry a k prefix so they never meet <windows.h> macros.
//
// Threads: a dialog procedure is only ever called on the thread that runs its
// RunModalDialog. Every other operation here (control text, image, check, combo,
// enable, EndDialogWith, PostDialogMessage, SendDialogMessage) may be called from
// any thread; the platform carries it to the dialog's thread or locks its model.
// SendDialogMessage from a foreign thread waits until the dialog's thread has run
// the procedure, so that thread must keep its modal loop going (as on Win32).
#pragma once

#include <cstdint>

struct DialogObject;
using DialogHandle = DialogObject*;  // HWND on Win32, a model dialog elsewhere

// A dialog procedure: returns nonzero (TRUE) for the messages it handles.
using DialogProc = intptr_t (*)(DialogHandle dialog, unsigned message, uintptr_t wParam,
                                intptr_t lParam);

// Window messages.
inline constexpr unsigned kWmDestroy = 0x0002;
inline constexpr unsigned kWmActivate = 0x0006;
inline constexpr unsigned kWmClose = 0x0010;
inline constexpr unsigned kWmSettingChange = 0x001A;
inline constexpr unsigned kWmInitDialog = 0x0110;
inline constexpr unsigned kWmCommand = 0x0111;
inline constexpr unsigned kWmTimer = 0x0113;
inline constexpr unsigned kWmHotKey = 0x0312;
inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned kWaInactive = 0;  // low word of WM_ACTIVATE's wParam
inline constexpr unsigned kWaActive = 1;

// Notification codes (high word of WM_COMMAND's wParam).
inline constexpr unsigned kBnClicked = 0;
inline constexpr unsigned kCbnSelChange = 1;
inline constexpr unsigned kCbnEditChange = 5;
inline constexpr unsigned kEnChange = 0x0300;

// Combo box and button results.
inline constexpr int kCbErr = -1;
inline constexpr int kBstUnchecked = 0;
inline constexpr int kBstChecked = 1;

// Message box flags and results.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbButtonMask = 0xF;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbIconMask = 0xF0;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Windows Mobile shell values (aygshell).
inline constexpr unsigned kShidimFlags = 0x1;
inline constexpr unsigned kShidifDoneButton = 0x1;
inline constexpr unsigned kShidifSizeDlgFullScreen = 0x4;
inline constexpr unsigned kShcmbmOverrideKey = kWmUser + 403;  // 1427
inline constexpr unsigned kShmbofNoDefault = 0x1;
inline constexpr unsigned kShmbofNotify = 0x2;
inline constexpr unsigned kVkTBack = 0x1B;  // the Back key (VK_ESCAPE's code)
inline constexpr unsigned kSpiGetPlatformType = 257;

// The class name under which FindAppWindow finds the programs' dialogs; a layer
// whose dialogs have another class ("#32770" on desktop Windows) maps it.
inline constexpr const char16_t* kDialogClassName = u"Dialog";

constexpr unsigned LowWord(uintptr_t value) { return unsigned(value & 0xFFFF); }
constexpr unsigned HighWord(uintptr_t value) { return unsigned((value >> 16) & 0xFFFF); }
constexpr uintptr_t MakeWParam(unsigned low, unsigned high) {
  return uintptr_t((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// --- Running dialogs -------------------------------------------------------

// Runs dialog template `templateId` of the program's resources modally: the
// procedure gets WM_INITDIALOG with `initParam`, then every message until
// EndDialogWith. Returns the end result, or -1 when the template is missing.
intptr_t RunModalDialog(int templateId, DialogHandle owner, DialogProc proc, intptr_t initParam);
// Ends a running modal dialog with `result`; the loop returns after the current
// message. Callable from any thread. False for an unknown or ended dialog.
bool EndDialogWith(DialogHandle dialog, intptr_t result);
// Removes a dialog at once (DestroyWindow); a modal run then returns 0.
bool DestroyDialog(DialogHandle dialog);
// Queues a message for the dialog's procedure and returns at once.
bool PostDialogMessage(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam);
// Delivers a message and returns the procedure's result (0 for a gone dialog).
intptr_t SendDialogMessage(DialogHandle dialog, unsigned message, uintptr_t wParam,
                           intptr_t lParam);

// Finds a top-level window of this program by class and title (single instance).
// The dialog model sees only the dialogs of its own process.
DialogHandle FindAppWindow(const char16_t* className, const char16_t* title);
bool BringToFront(DialogHandle window);
// Keyboard focus on the dialog itself (SetFocus on the dialog handle).
bool FocusDialog(DialogHandle dialog);
bool FocusControl(DialogHandle dialog, int controlId);
bool SetDialogTitle(DialogHandle dialog, const char16_t* title);

// --- Controls by id ------------------------------------------------------

bool SetControlText(DialogHandle dialog, int controlId, const char16_t* text);
// GetWindowTextW: copies at most capacity-1 units and a terminator; returns the
// length copied (0 for a missing control, with an empty buffer).
int GetControlText(DialogHandle dialog, int controlId, char16_t* buffer, int capacity);
// Shows bitmap resource `bitmapId` in a bitmap static (STM_SETIMAGE); the layer
// loads each bitmap once and keeps it for the life of the process.
bool SetControlImage(DialogHandle dialog, int controlId, int bitmapId);
bool SetCheck(DialogHandle dialog, int controlId, bool checked);
bool IsChecked(DialogHandle dialog, int controlId);  // BM_GETCHECK == BST_CHECKED
bool EnableControl(DialogHandle dialog, int controlId, bool enabled);
bool IsControlEnabled(DialogHandle dialog, int controlId);

// Combo boxes, as CB_* messages: indexes count from 0; kCbErr for none/failure.
int ComboAddString(DialogHandle dialog, int controlId, const char16_t* text);
bool ComboReset(DialogHandle dialog, int controlId);
// CB_LIMITTEXT: the most units the user may type into a combo's field.
bool ComboLimitText(DialogHandle dialog, int controlId, int units);
int ComboGetCount(DialogHandle dialog, int controlId);
// CB_SETCURSEL: -1 clears; returns the index, or kCbErr when out of range (and
// then the selection is cleared, as Win32 does).
int ComboSetSelection(DialogHandle dialog, int controlId, int index);
int ComboGetSelection(DialogHandle dialog, int controlId);
// CB_FINDSTRING: the first item that starts with `prefix`, ignoring case,
// searching after `startAfter` and wrapping round (-1 searches from the top).
int ComboFindString(DialogHandle dialog, int controlId, int startAfter, const char16_t* prefix);
// CB_GETLBTEXT into a buffer of `capacity` units (cut to fit, terminated);
// returns the length copied, or kCbErr (and an empty buffer) for no such item.
int ComboGetItemText(DialogHandle dialog, int controlId, int index, char16_t* buffer, int capacity);

// --- Message boxes and resources ------------------------------------------

// Shows a message box and blocks until it is dismissed; returns the button.
// `detail`, when given and not empty, goes under the text as what lies behind it
// (a reason, the copied position): a second paragraph on Windows, a secondary
// text in GTK, the next lines on a terminal. The text above it stays as given.
int ShowMessageBox(DialogHandle owner, const char16_t* text, const char16_t* caption,
                   unsigned flags, const char16_t* detail = nullptr);
// The answer of a box nobody can answer: No, Cancel, or OK.
inline int DefaultMessageBoxAnswer(unsigned flags) {
  switch (flags & kMbButtonMask) {
    case kMbYesNo: return kIdNo;
    case kMbOkCancel: return kIdCancel;
    default: return kIdOk;
  }
}
// LoadStringW: the program's string `id`, cut to capacity-1 units and
// terminated; returns the length, 0 (empty buffer) when there is no such string.
int LoadResourceString(int id, char16_t* buffer, int capacity);

// --- Windows Mobile shell services ---------------------------------------
// Platforms without these shells implement them as their nearest equivalent or
// as no-ops that report success.

// SHCreateMenuBar with nToolBarId `menuBarId`: the soft keys of menu-bar record
// `menuBarId`; their commands reach the dialog as WM_COMMAND.
bool CreateMenuBar(DialogHandle dialog, int menuBarId);
// SHInitDialog with dwMask SHIDIM_FLAGS and `flags` (kShidif*).
bool InitFullScreenDialog(DialogHandle dialog, unsigned flags);
// SHFindMenuBar(dialog) then SendMessageW (e.g. kShcmbmOverrideKey); 0 when the
// dialog has no menu bar.
intptr_t SendMenuBarMessage(DialogHandle dialog, unsigned message, uintptr_t wParam,
                            intptr_t lParam);
// SHSendBackToFocusWindow: the Back key to the focused control (deletes the
// character before the caret in an edit field).
void SendBackToFocusWindow(unsigned message, uintptr_t wParam, intptr_t lParam);
// SHInputDialog: the shell's input handling for a dialog with an edit field.
void ForwardInputDialog(DialogHandle dialog, unsigned message, uintptr_t wParam);
// SystemParametersInfoW(SPI_GETPLATFORMTYPE): "PocketPC", "Smartphone", ...;
// false when the query fails.
bool GetPlatformType(char16_t* buffer, int capacity);

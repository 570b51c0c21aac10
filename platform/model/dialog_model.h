// Drivers' side of the dialog model: what tests and terminal front ends use to
// watch the running dialogs, read their controls and answer message boxes.
#pragma once

#include "platform/dialogs.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class ModelControlKind { Static, Bitmap, Button, CheckBox, Edit, Combo, ComboList, ListBox };

struct ModelControl {
  int id = 0;
  ModelControlKind kind = ModelControlKind::Static;
  std::u16string text;  // window text; for a combo its field (or selected item)
  bool checked = false;
  bool enabled = true;
  bool tabStop = false;
  int imageId = 0;  // bitmap shown by a bitmap static, 0 for none
  std::vector<std::u16string> items;
  int selection = kCbErr;
  int textLimit = 0;  // the most units typing may give the field; 0 for no limit
};

struct ModelSoftKey {
  int command = 0;
  std::u16string label;
  bool dropDown = false;
  // Items of the pop-up that the key opens: command id and text.
  std::vector<std::pair<int, std::u16string>> popup;
};

struct ModelDialog {
  DialogHandle handle = nullptr;
  int templateId = 0;
  DialogHandle owner = nullptr;
  std::u16string title;
  std::vector<ModelControl> controls;  // template order, which is the tab order
  int focusId = 0;                     // 0: the dialog itself has the focus
  std::vector<ModelSoftKey> softKeys;  // from CreateMenuBar
  unsigned shellFlags = 0;             // from InitFullScreenDialog
  bool backKeyOverridden = false;      // kShcmbmOverrideKey sent to the menu bar
  bool ended = false;
  intptr_t result = 0;

  const ModelControl* Control(int id) const;
};

// What changed, for a renderer to redraw. Called on the thread that made the
// change, with no model lock held.
struct ModelEvent {
  enum Kind { DialogStarted, ControlChanged, DialogChanged, DialogEnded } kind;
  DialogHandle dialog;
  int controlId;  // for ControlChanged
};
using ModelObserver = std::function<void(const ModelEvent&)>;
// One observer at a time (the front end or a test); empty to remove.
void SetModelObserver(ModelObserver observer);

// Drivers see a dialog once its WM_INITDIALOG has run.
// The topmost running dialog (the one the user would type into), or nullptr.
DialogHandle ModelActiveDialog();
// A copy of a running dialog's state; nullopt once it has gone.
std::optional<ModelDialog> ModelSnapshot(DialogHandle dialog);
std::optional<ModelControl> ModelControlState(DialogHandle dialog, int controlId);
// Waits until a dialog of `templateId` runs (0: any); nullptr on time-out.
DialogHandle ModelWaitForDialog(int templateId, std::chrono::milliseconds timeout);
// Waits until no modal run is left on any thread.
bool ModelWaitForNoDialog(std::chrono::milliseconds timeout);

// User input, as the platform would turn it into messages: a click on a button
// or check box (an automatic check box toggles first) posts WM_COMMAND/BN_CLICKED;
// choosing a combo item selects it and posts CBN_SELCHANGE.
bool ModelClick(DialogHandle dialog, int controlId);
bool ModelChooseComboItem(DialogHandle dialog, int controlId, int index);

// Platform type that GetPlatformType answers; nullptr makes the query fail.
// Starts as "PocketPC".
void SetModelPlatformType(const char16_t* type);

// Message boxes. The handler answers them; without one, the box is printed on
// stderr as "<caption> <text>", the detail on the lines after it, and answered OK
// (No for Yes/No, Cancel for OK/Cancel). The handler runs on the thread that
// shows the box; `detail` is empty for a box without one.
using MessageBoxHandler =
    std::function<int(DialogHandle owner, const std::u16string& text, const std::u16string& caption,
                      unsigned flags, const std::u16string& detail)>;
void SetMessageBoxHandler(MessageBoxHandler handler);  // empty for the default

struct RecordedMessageBox {
  DialogHandle owner;
  std::u16string text;
  std::u16string caption;
  unsigned flags;
  int answer;
  std::u16string detail;
};

// Records every message box while it lives and answers them from a script
// (then with the default answer). Installs itself as the handler.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void QueueAnswer(int button);
  std::vector<RecordedMessageBox> Boxes() const;
  // Waits until at least `count` boxes were shown; false on time-out.
  bool WaitForCount(size_t count, std::chrono::milliseconds timeout) const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

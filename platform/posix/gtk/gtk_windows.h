// Inside of the GTK windows: one window per running dialog, kept in step with the
// dialog model on GTK's thread, and the message boxes.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/model/dialog_model.h"
#include "resources/resources.h"

namespace gtk_windows {

// Pixels of dialog units, from the font's average character width and height as
// the Windows dialog manager measures them.
struct DialogUnits {
  int baseX = 6, baseY = 13;
  int X(int units) const { return (units * baseX + 2) / 4; }
  int Y(int units) const { return (units * baseY + 4) / 8; }
};
DialogUnits MeasureDialogUnits(GtkWidget* widget);

// One control's widgets: `widget` takes the input, `label` shows a check box's text.
struct ControlWidgets {
  ModelControlKind kind = ModelControlKind::Static;
  GtkWidget* widget = nullptr;
  GtkWidget* label = nullptr;
  std::vector<std::u16string> items;  // as last put into a combo
  int imageId = -1;
};

struct DialogWindow {
  DialogHandle handle = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* softKeys = nullptr;  // the bar along the bottom, once the keys are known
  std::map<int, ControlWidgets> controls;
  int appliedFocus = -1;  // the model's focus as last given to GTK
  bool syncing = false;   // widgets being set from the model: their signals are not input
};

// A form of labels and fields lines up on a grid; the other dialogs (the status
// window) keep their template's places.
bool IsForm(const DialogTemplate& source);
// A form's controls (made in template order) on a GtkGrid: the template's rows top
// to bottom, each a label and its field, or a check box's text and its box.
GtkWidget* PlaceOnGrid(const DialogTemplate& source, std::vector<ControlWidgets>& made);
// An editable combo's field widened to its longest item or text (a by-id port
// name reads whole), never narrowed while the window is open.
void WidenToContent(ControlWidgets& combo, const ModelControl& state);

// Builds the window of a dialog that started, from its template and state.
DialogWindow* OpenDialogWindow(const ModelDialog& state, GtkWindow* owner, GtkApplication* app);
// Brings the window's widgets in step with the dialog's state.
void SyncDialogWindow(DialogWindow& dialog, const ModelDialog& state);
void CloseDialogWindow(DialogWindow* dialog);

// A message box over `owner` (may be null), the detail (if any) as its secondary
// text under the text; `done` gets the button, on GTK's thread.
void OpenMessageBox(GtkWindow* owner, const std::u16string& text, const std::u16string& detail,
                    const std::u16string& caption, unsigned flags, std::function<void(int)> done);

// The soft keys of a menu-bar record as two buttons along the window's bottom; a
// drop-down key opens its pop-up as a menu.
void AddSoftKeys(DialogWindow& dialog, const std::vector<ModelSoftKey>& keys);

// The indicator bitmaps, decoded once from the resources' BMP files; null for none.
GdkTexture* BitmapTexture(int bitmapId);

std::string Utf8(const std::u16string& text);
std::u16string Utf16(const char* text);

// The resources' bitmap files, built into the program.
struct EmbeddedFile {
  const char* name;
  const unsigned char* data;
  size_t size;
};
extern const EmbeddedFile kBitmapFiles[];
extern const size_t kBitmapFileCount;

}  // namespace gtk_windows

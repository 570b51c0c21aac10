// A running dialog as a GTK window: its template's controls, kept in step with
// the model, and the user's input on them turned into the messages the dialog
// procedure expects.
#include <algorithm>

#include "platform/posix/gtk/gtk_windows.h"

namespace gtk_windows {

namespace {

// Connections carry the window and the control id to the input handlers.
struct ControlRef {
  DialogWindow* dialog;
  int id;
};

void PostCommand(DialogHandle dialog, int id, unsigned notification) {
  PostDialogMessage(dialog, kWmCommand, MakeWParam(unsigned(id), notification), 0);
}

// One reference per widget, freed with it, shared by all of its connections.
ControlRef* Ref(DialogWindow* dialog, int id, GtkWidget* owner) {
  if (auto* known = static_cast<ControlRef*>(g_object_get_data(G_OBJECT(owner), "quarvel-control")))
    return known;
  auto* ref = new ControlRef{dialog, id};
  g_object_set_data_full(G_OBJECT(owner), "quarvel-control", ref,
                         [](gpointer p) { delete static_cast<ControlRef*>(p); });
  return ref;
}

void OnClicked(GtkButton*, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (!ref->dialog->syncing) ModelClick(ref->dialog->handle, ref->id);
}

void OnToggled(GtkCheckButton* check, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (ref->dialog->syncing) return;
  const auto state = ModelControlState(ref->dialog->handle, ref->id);
  if (state && state->checked != bool(gtk_check_button_get_active(check)))
    ModelClick(ref->dialog->handle, ref->id);
}

// A click on a check box's text toggles it, as on the Windows control.
void OnLabelPressed(GtkGestureClick*, int, double, double, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  auto it = ref->dialog->controls.find(ref->id);
  if (it == ref->dialog->controls.end() || !gtk_widget_get_sensitive(it->second.widget)) return;
  GtkCheckButton* check = GTK_CHECK_BUTTON(it->second.widget);
  gtk_check_button_set_active(check, !gtk_check_button_get_active(check));
  gtk_widget_grab_focus(it->second.widget);
}

void OnEntryChanged(GtkEditable* editable, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (ref->dialog->syncing) return;
  const std::u16string text = Utf16(gtk_editable_get_text(editable));
  const auto state = ModelControlState(ref->dialog->handle, ref->id);
  if (!state || state->text == text) return;
  SetControlText(ref->dialog->handle, ref->id, text.c_str());
  PostCommand(ref->dialog->handle, ref->id,
              state->kind == ModelControlKind::Edit ? kEnChange : kCbnEditChange);
}

// Enter in a dialog's edit field is its Done button.
void OnEntryActivate(GtkEntry*, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  PostCommand(ref->dialog->handle, kIdOk, kBnClicked);
}

void OnComboChanged(GtkComboBox* combo, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (ref->dialog->syncing) return;
  const int active = gtk_combo_box_get_active(combo);
  const auto state = ModelControlState(ref->dialog->handle, ref->id);
  if (active >= 0 && state && state->selection != active)
    ModelChooseComboItem(ref->dialog->handle, ref->id, active);
}

GtkWidget* MakeLabel(const char16_t* text) {
  GtkWidget* label = gtk_label_new(Utf8(text ? text : u"").c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_widget_set_valign(label, GTK_ALIGN_CENTER);
  return label;
}

// The widgets of one template control, not yet placed.
ControlWidgets MakeControl(DialogWindow* dialog, const ControlTemplate& place,
                           const ModelControl& control) {
  ControlWidgets made;
  made.kind = control.kind;
  GtkWidget* widget = nullptr;
  switch (control.kind) {
    case ModelControlKind::Static:
      widget = MakeLabel(place.text);
      // SS_ENDELLIPSIS: a longer text keeps the control's width and ends in "...".
      if (place.style & kSsEndEllipsis)
        gtk_label_set_ellipsize(GTK_LABEL(widget), PANGO_ELLIPSIZE_END);
      break;
    case ModelControlKind::Bitmap:
      widget = gtk_picture_new();
      gtk_picture_set_can_shrink(GTK_PICTURE(widget), FALSE);
      break;
    case ModelControlKind::Button:
      widget = gtk_button_new_with_label(Utf8(place.text).c_str());
      gtk_widget_add_css_class(widget, "quarvel-button");
      g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), Ref(dialog, control.id, widget));
      break;
    case ModelControlKind::CheckBox: {
      // Text on the left, box on the right (BS_LEFTTEXT).
      made.label = MakeLabel(place.text);
      widget = gtk_check_button_new();
      gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                     Utf8(place.text).c_str(), -1);
      g_signal_connect(widget, "toggled", G_CALLBACK(OnToggled), Ref(dialog, control.id, widget));
      GtkGesture* press = gtk_gesture_click_new();
      g_signal_connect(press, "pressed", G_CALLBACK(OnLabelPressed),
                       Ref(dialog, control.id, made.label));
      gtk_widget_add_controller(made.label, GTK_EVENT_CONTROLLER(press));
      break;
    }
    case ModelControlKind::Edit:
      widget = gtk_entry_new();
      gtk_editable_set_width_chars(GTK_EDITABLE(widget), 1);
      g_signal_connect(widget, "changed", G_CALLBACK(OnEntryChanged),
                       Ref(dialog, control.id, widget));
      g_signal_connect(widget, "activate", G_CALLBACK(OnEntryActivate),
                       Ref(dialog, control.id, widget));
      break;
    case ModelControlKind::Combo:
    case ModelControlKind::ComboList:
    case ModelControlKind::ListBox: {
      const bool editable = control.kind == ModelControlKind::Combo;
      widget = editable ? gtk_combo_box_text_new_with_entry() : gtk_combo_box_text_new();
      g_signal_connect(widget, "changed", G_CALLBACK(OnComboChanged),
                       Ref(dialog, control.id, widget));
      if (editable) {
        GtkWidget* entry = gtk_combo_box_get_child(GTK_COMBO_BOX(widget));
        gtk_editable_set_width_chars(GTK_EDITABLE(entry), 1);
        g_signal_connect(entry, "changed", G_CALLBACK(OnEntryChanged),
                         Ref(dialog, control.id, entry));
      }
      break;
    }
  }
  made.widget = widget;
  return made;
}

// The controls at their template's places, sized in dialog units.
GtkWidget* PlaceAsTemplate(const DialogTemplate& source, std::vector<ControlWidgets>& made,
                           const DialogUnits& units) {
  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, units.X(source.width), units.Y(source.height));
  for (size_t i = 0; i < made.size(); ++i) {
    const ControlTemplate& place = source.controls[i];
    const int x = units.X(place.x), y = units.Y(place.y);
    const int width = units.X(place.width), height = units.Y(place.height);
    GtkWidget* widget = made[i].widget;
    switch (made[i].kind) {
      case ModelControlKind::Bitmap: break;
      case ModelControlKind::CheckBox:
        gtk_widget_set_size_request(made[i].label, width - units.X(12), height);
        gtk_fixed_put(GTK_FIXED(fixed), made[i].label, x, y);
        gtk_widget_set_size_request(widget, -1, height);
        gtk_fixed_put(GTK_FIXED(fixed), widget, x + width - units.X(12), y);
        continue;
      case ModelControlKind::Combo:
      case ModelControlKind::ComboList:
      case ModelControlKind::ListBox:
        // A combo's template height is that of its dropped list; the field is one line.
        gtk_widget_set_size_request(widget, width, -1);
        break;
      default: gtk_widget_set_size_request(widget, width, height);
    }
    gtk_fixed_put(GTK_FIXED(fixed), widget, x, y);
  }
  return fixed;
}

// A control's focusable widget: an editable combo takes the focus in its field.
GtkWidget* FocusTarget(const ControlWidgets& control) {
  if (control.kind == ModelControlKind::Combo)
    return gtk_combo_box_get_child(GTK_COMBO_BOX(control.widget));
  return control.widget;
}

void OnFocusWidget(GObject* window, GParamSpec*, gpointer data) {
  auto* dialog = static_cast<DialogWindow*>(data);
  if (dialog->syncing) return;
  GtkWidget* focus = gtk_root_get_focus(GTK_ROOT(window));
  for (auto& [id, control] : dialog->controls) {
    GtkWidget* target = FocusTarget(control);
    if (focus && (focus == target || gtk_widget_is_ancestor(focus, target))) {
      dialog->appliedFocus = id;
      FocusControl(dialog->handle, id);
      return;
    }
  }
}

gboolean OnCloseRequest(GtkWindow*, gpointer data) {
  PostDialogMessage(static_cast<DialogWindow*>(data)->handle, kWmClose, 0, 0);
  return TRUE;  // the dialog procedure decides; the window goes when the dialog ends
}

// Esc is Cancel, as the dialog manager makes it; the status window has no Cancel,
// and there Esc is Stop, as on the terminal.
gboolean OnKey(GtkEventControllerKey*, guint key, guint, GdkModifierType, gpointer data) {
  if (key != GDK_KEY_Escape) return FALSE;
  auto* dialog = static_cast<DialogWindow*>(data);
  if (dialog->controls.count(IDC_STOP))
    ModelClick(dialog->handle, IDC_STOP);
  else
    PostCommand(dialog->handle, kIdCancel, kBnClicked);
  return TRUE;
}

void SyncText(ControlWidgets& control, const ModelControl& state) {
  const std::string text = Utf8(state.text);
  switch (control.kind) {
    case ModelControlKind::Static:
      if (text != gtk_label_get_text(GTK_LABEL(control.widget)))
        gtk_label_set_text(GTK_LABEL(control.widget), text.c_str());
      break;
    case ModelControlKind::Button:
      gtk_button_set_label(GTK_BUTTON(control.widget), text.c_str());
      break;
    case ModelControlKind::CheckBox:
      gtk_label_set_text(GTK_LABEL(control.label), text.c_str());
      gtk_check_button_set_active(GTK_CHECK_BUTTON(control.widget), state.checked);
      break;
    case ModelControlKind::Edit:
      if (text != gtk_editable_get_text(GTK_EDITABLE(control.widget)))
        gtk_editable_set_text(GTK_EDITABLE(control.widget), text.c_str());
      break;
    case ModelControlKind::Bitmap:
      if (control.imageId != state.imageId) {
        gtk_picture_set_paintable(GTK_PICTURE(control.widget),
                                  GDK_PAINTABLE(BitmapTexture(state.imageId)));
        control.imageId = state.imageId;
      }
      break;
    default: {
      GtkComboBoxText* combo = GTK_COMBO_BOX_TEXT(control.widget);
      if (control.items != state.items) {
        gtk_combo_box_text_remove_all(combo);
        for (const std::u16string& item : state.items)
          gtk_combo_box_text_append_text(combo, Utf8(item).c_str());
        control.items = state.items;
      }
      WidenToContent(control, state);
      if (gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) != state.selection)
        gtk_combo_box_set_active(GTK_COMBO_BOX(combo), state.selection);
      if (control.kind == ModelControlKind::Combo) {
        GtkEditable* entry = GTK_EDITABLE(gtk_combo_box_get_child(GTK_COMBO_BOX(combo)));
        if (text != gtk_editable_get_text(entry)) gtk_editable_set_text(entry, text.c_str());
      }
    }
  }
}

}  // namespace

DialogWindow* OpenDialogWindow(const ModelDialog& state, GtkWindow* owner, GtkApplication* app) {
  const DialogTemplate* source = FindDialogTemplate(state.templateId);
  if (!source) return nullptr;
  auto* dialog = new DialogWindow;
  dialog->handle = state.handle;
  dialog->window = gtk_application_window_new(app);
  GtkWindow* window = GTK_WINDOW(dialog->window);
  gtk_window_set_resizable(window, FALSE);
  if (owner) {
    gtk_window_set_transient_for(window, owner);
    gtk_window_set_modal(window, TRUE);
  }
  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  const size_t count = std::min(source->controls.size(), state.controls.size());
  std::vector<ControlWidgets> made;
  for (size_t i = 0; i < count; ++i)
    made.push_back(MakeControl(dialog, source->controls[i], state.controls[i]));
  if (IsForm(*source)) {
    gtk_box_append(GTK_BOX(column), PlaceOnGrid(*source, made));
  } else {
    gtk_widget_add_css_class(dialog->window, "quarvel-dialog");
    const DialogUnits units = MeasureDialogUnits(dialog->window);
    gtk_box_append(GTK_BOX(column), PlaceAsTemplate(*source, made, units));
  }
  for (size_t i = 0; i < count; ++i) {
    const int id = state.controls[i].id;
    // Labels without an id share one; only the first is found by id.
    if (id == IDC_LABEL || dialog->controls.count(id)) continue;
    dialog->controls.emplace(id, std::move(made[i]));
  }
  gtk_window_set_child(window, column);
  g_signal_connect(window, "close-request", G_CALLBACK(OnCloseRequest), dialog);
  g_signal_connect(window, "notify::focus-widget", G_CALLBACK(OnFocusWidget), dialog);
  GtkEventController* keys = gtk_event_controller_key_new();
  g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKey), dialog);
  gtk_widget_add_controller(dialog->window, keys);
  SyncDialogWindow(*dialog, state);
  gtk_window_present(window);
  return dialog;
}

void SyncDialogWindow(DialogWindow& dialog, const ModelDialog& state) {
  dialog.syncing = true;
  const std::string title = Utf8(state.title.empty() ? u"Quarvel" : state.title);
  gtk_window_set_title(GTK_WINDOW(dialog.window), title.c_str());
  for (const ModelControl& control : state.controls) {
    auto it = dialog.controls.find(control.id);
    if (it == dialog.controls.end()) continue;
    SyncText(it->second, control);
    gtk_widget_set_sensitive(it->second.widget, control.enabled);
    if (it->second.label) gtk_widget_set_sensitive(it->second.label, control.enabled);
  }
  if (!dialog.softKeys && !state.softKeys.empty()) AddSoftKeys(dialog, state.softKeys);
  if (state.focusId != dialog.appliedFocus) {
    auto it = dialog.controls.find(state.focusId);
    if (it != dialog.controls.end()) gtk_widget_grab_focus(FocusTarget(it->second));
    dialog.appliedFocus = state.focusId;
  }
  dialog.syncing = false;
}

void CloseDialogWindow(DialogWindow* dialog) {
  gtk_window_destroy(GTK_WINDOW(dialog->window));
  delete dialog;
}

}  // namespace gtk_windows

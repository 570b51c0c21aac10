// Message boxes as GTK windows: the caption as title, the icon the flags name, the
// text with its detail under it, and OK or Yes/No with the first button the default.
#include <memory>

#include "platform/posix/gtk/gtk_windows.h"

namespace gtk_windows {

namespace {

struct Box {
  GtkWidget* window;
  unsigned flags;
  std::function<void(int)> done;
  bool answered = false;
};

const char* IconName(unsigned flags) {
  switch (flags & kMbIconMask) {
    case kMbIconError: return "dialog-error";
    case kMbIconQuestion: return "dialog-question";
    case kMbIconExclamation: return "dialog-warning";
    case kMbIconInformation: return "dialog-information";
    default: return nullptr;
  }
}

struct MessageButton {
  const char* label;
  int answer;
};

std::vector<MessageButton> Buttons(unsigned flags) {
  switch (flags & kMbButtonMask) {
    case kMbYesNo: return {{"Yes", kIdYes}, {"No", kIdNo}};
    case kMbOkCancel: return {{"OK", kIdOk}, {"Cancel", kIdCancel}};
    default: return {{"OK", kIdOk}};
  }
}

void Answer(Box* box, int answer) {
  if (box->answered) return;
  box->answered = true;
  box->done(answer);
  gtk_window_destroy(GTK_WINDOW(box->window));
}

void OnButton(GtkButton* button, gpointer data) {
  Answer(static_cast<Box*>(data), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "answer")));
}

// Closing the box, or Esc, gives the answer a box gives when dismissed.
gboolean OnClose(GtkWindow*, gpointer data) {
  auto* box = static_cast<Box*>(data);
  Answer(box, DefaultMessageBoxAnswer(box->flags));
  return TRUE;
}

gboolean OnKey(GtkEventControllerKey*, guint key, guint, GdkModifierType, gpointer data) {
  if (key != GDK_KEY_Escape) return FALSE;
  OnClose(nullptr, data);
  return TRUE;
}

// A wrapping label takes its narrowest width: only a long text wraps. A word
// longer than a line (a map address) is broken where it must be.
GtkWidget* MessageLabel(const std::u16string& text) {
  constexpr size_t kLineChars = 50;
  GtkWidget* label = gtk_label_new(Utf8(text).c_str());
  gtk_label_set_wrap(GTK_LABEL(label), text.size() > kLineChars);
  gtk_label_set_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), int(kLineChars));
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  return label;
}

// The text, and under it the detail, which the user may select and copy (a
// position, a device path).
GtkWidget* MessageTexts(const std::u16string& text, const std::u16string& detail) {
  GtkWidget* texts = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  gtk_box_append(GTK_BOX(texts), MessageLabel(text));
  if (!detail.empty()) {
    GtkWidget* secondary = MessageLabel(detail);
    gtk_label_set_selectable(GTK_LABEL(secondary), TRUE);
    gtk_box_append(GTK_BOX(texts), secondary);
  }
  return texts;
}

}  // namespace

void OpenMessageBox(GtkWindow* owner, const std::u16string& text, const std::u16string& detail,
                    const std::u16string& caption, unsigned flags, std::function<void(int)> done) {
  GtkWidget* window = gtk_window_new();
  auto* box = new Box{window, flags, std::move(done)};
  g_object_set_data_full(G_OBJECT(window), "quarvel-box", box,
                         [](gpointer p) { delete static_cast<Box*>(p); });
  gtk_widget_add_css_class(window, "quarvel-dialog");
  gtk_window_set_title(GTK_WINDOW(window), Utf8(caption).c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_modal(GTK_WINDOW(window), TRUE);
  if (owner) gtk_window_set_transient_for(GTK_WINDOW(window), owner);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_widget_add_css_class(column, "quarvel-message");
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  if (const char* icon = IconName(flags)) {
    GtkWidget* image = gtk_image_new_from_icon_name(icon);
    gtk_image_set_pixel_size(GTK_IMAGE(image), 32);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_append(GTK_BOX(row), image);
  }
  gtk_box_append(GTK_BOX(row), MessageTexts(text, detail));
  gtk_box_append(GTK_BOX(column), row);

  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_box_set_homogeneous(GTK_BOX(buttons), TRUE);
  gtk_widget_set_halign(buttons, GTK_ALIGN_CENTER);
  GtkWidget* first = nullptr;
  for (const MessageButton& choice : Buttons(flags)) {
    GtkWidget* button = gtk_button_new_with_label(choice.label);
    gtk_widget_set_size_request(button, 75, -1);
    g_object_set_data(G_OBJECT(button), "answer", GINT_TO_POINTER(choice.answer));
    g_signal_connect(button, "clicked", G_CALLBACK(OnButton), box);
    gtk_box_append(GTK_BOX(buttons), button);
    if (!first) first = button;
  }
  gtk_box_append(GTK_BOX(column), buttons);
  gtk_window_set_child(GTK_WINDOW(window), column);
  g_signal_connect(window, "close-request", G_CALLBACK(OnClose), box);
  GtkEventController* keys = gtk_event_controller_key_new();
  g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKey), box);
  gtk_widget_add_controller(window, keys);
  // Enter presses the default button, which has the focus, as on Windows.
  gtk_window_set_default_widget(GTK_WINDOW(window), first);
  gtk_window_set_focus(GTK_WINDOW(window), first);
  gtk_window_present(GTK_WINDOW(window));
}

}  // namespace gtk_windows

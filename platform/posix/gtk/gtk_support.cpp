// What the GTK windows share: text conversion, dialog units from the font, the
// indicator bitmaps and the soft-key bar.
#include <cstring>

#include "common/utf8.h"
#include "platform/posix/gtk/gtk_windows.h"

namespace gtk_windows {

std::string Utf8(const std::u16string& text) { return utf8::Utf16ToUtf8(text); }

std::u16string Utf16(const char* text) { return utf8::Utf8ToUtf16(text ? text : ""); }

DialogUnits MeasureDialogUnits(GtkWidget* widget) {
  // The dialog manager's measure: the average width of the 52 letters, and the height.
  PangoLayout* layout = gtk_widget_create_pango_layout(
      widget, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  DialogUnits units;
  if (width > 0 && height > 0) {
    units.baseX = (width / 26 + 1) / 2;
    units.baseY = height;
  }
  return units;
}

namespace {

unsigned ReadLittle(const unsigned char* at, int bytes) {
  unsigned value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

// An uncompressed 24-bit BMP, bottom-up or top-down, as RGB rows top first.
GdkTexture* DecodeBmp(const EmbeddedFile& file) {
  if (file.size < 54 || std::memcmp(file.data, "BM", 2) != 0) return nullptr;
  const unsigned offset = ReadLittle(file.data + 10, 4);
  const int width = int(ReadLittle(file.data + 18, 4));
  const int rawHeight = int(ReadLittle(file.data + 22, 4));
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  if (ReadLittle(file.data + 28, 2) != 24 || ReadLittle(file.data + 30, 4) != 0) return nullptr;
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
  if (width <= 0 || height <= 0 || offset + stride * size_t(height) > file.size) return nullptr;
  std::string rgb(size_t(width) * 3 * size_t(height), '\0');
  for (int row = 0; row < height; ++row) {
    const unsigned char* in =
        file.data + offset + stride * size_t(rawHeight > 0 ? height - 1 - row : row);
    char* out = rgb.data() + size_t(row) * size_t(width) * 3;
    for (int x = 0; x < width; ++x) {
      out[3 * x] = char(in[3 * x + 2]);
      out[3 * x + 1] = char(in[3 * x + 1]);
      out[3 * x + 2] = char(in[3 * x]);
    }
  }
  GBytes* bytes = g_bytes_new(rgb.data(), rgb.size());
  GdkTexture* texture =
      gdk_memory_texture_new(width, height, GDK_MEMORY_R8G8B8, bytes, size_t(width) * 3);
  g_bytes_unref(bytes);
  return texture;
}

}  // namespace

GdkTexture* BitmapTexture(int bitmapId) {
  static std::map<int, GdkTexture*> loaded;  // kept for the life of the process
  if (auto it = loaded.find(bitmapId); it != loaded.end()) return it->second;
  const BitmapResource* bitmap = FindBitmapResource(bitmapId);
  GdkTexture* texture = nullptr;
  for (size_t i = 0; bitmap && i < kBitmapFileCount; ++i) {
    if (std::strcmp(kBitmapFiles[i].name, bitmap->fileName) == 0)
      texture = DecodeBmp(kBitmapFiles[i]);
  }
  loaded[bitmapId] = texture;
  return texture;
}

namespace {

void OnSoftKey(GtkButton*, gpointer data) {
  auto* dialog = static_cast<DialogWindow*>(g_object_get_data(G_OBJECT(data), "quarvel-dialog"));
  const int command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(data), "quarvel-command"));
  PostDialogMessage(dialog->handle, kWmCommand, MakeWParam(unsigned(command), kBnClicked), 0);
}

void OnMenuCommand(GSimpleAction*, GVariant* parameter, gpointer data) {
  auto* dialog = static_cast<DialogWindow*>(data);
  const unsigned command = unsigned(g_variant_get_int32(parameter));
  PostDialogMessage(dialog->handle, kWmCommand, MakeWParam(command, kBnClicked), 0);
}

GtkWidget* PopupKey(DialogWindow& dialog, const ModelSoftKey& key) {
  GMenu* menu = g_menu_new();
  for (const auto& [command, text] : key.popup) {
    GMenuItem* item = g_menu_item_new(Utf8(text).c_str(), nullptr);
    g_menu_item_set_action_and_target_value(item, "dialog.command", g_variant_new_int32(command));
    g_menu_append_item(menu, item);
    g_object_unref(item);
  }
  GtkWidget* button = gtk_menu_button_new();
  gtk_menu_button_set_label(GTK_MENU_BUTTON(button), Utf8(key.label).c_str());
  gtk_menu_button_set_direction(GTK_MENU_BUTTON(button), GTK_ARROW_UP);
  gtk_menu_button_set_menu_model(GTK_MENU_BUTTON(button), G_MENU_MODEL(menu));
  g_object_unref(menu);
  if (!g_object_get_data(G_OBJECT(dialog.window), "quarvel-actions")) {
    GSimpleActionGroup* actions = g_simple_action_group_new();
    GSimpleAction* action = g_simple_action_new("command", G_VARIANT_TYPE_INT32);
    g_signal_connect(action, "activate", G_CALLBACK(OnMenuCommand), &dialog);
    g_action_map_add_action(G_ACTION_MAP(actions), G_ACTION(action));
    g_object_unref(action);
    gtk_widget_insert_action_group(dialog.window, "dialog", G_ACTION_GROUP(actions));
    g_object_set_data_full(G_OBJECT(dialog.window), "quarvel-actions", actions, g_object_unref);
  }
  return button;
}

}  // namespace

void AddSoftKeys(DialogWindow& dialog, const std::vector<ModelSoftKey>& keys) {
  GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  gtk_box_set_homogeneous(GTK_BOX(bar), TRUE);
  gtk_widget_add_css_class(bar, "quarvel-soft-keys");
  for (const ModelSoftKey& key : keys) {
    GtkWidget* button;
    if (key.dropDown && !key.popup.empty()) {
      button = PopupKey(dialog, key);
    } else {
      button = gtk_button_new_with_label(Utf8(key.label).c_str());
      g_object_set_data(G_OBJECT(button), "quarvel-dialog", &dialog);
      g_object_set_data(G_OBJECT(button), "quarvel-command", GINT_TO_POINTER(key.command));
      g_signal_connect(button, "clicked", G_CALLBACK(OnSoftKey), button);
    }
    gtk_box_append(GTK_BOX(bar), button);
  }
  gtk_box_append(GTK_BOX(gtk_window_get_child(GTK_WINDOW(dialog.window))), bar);
  dialog.softKeys = bar;
}

}  // namespace gtk_windows

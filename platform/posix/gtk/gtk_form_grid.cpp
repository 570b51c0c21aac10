// QuarvelConfig's forms on a GtkGrid: the templates place labels and fields in
// dialog units of a Windows font, which in GTK's fonts leaves a ragged column and
// empty bands; the grid keeps their rows and order and lets GTK size them.
#include <algorithm>
#include <numeric>

#include "platform/posix/gtk/gtk_windows.h"

namespace gtk_windows {

namespace {

// A combo's template height is that of its dropped list: a row is a line high.
constexpr int kLineUnits = 14;
// Characters of a port field: "/dev/ttyUSB0" and the like at least; a by-id
// name (often over 80) whole, up to a width that still fits a screen.
constexpr int kFieldMinChars = 24;
constexpr int kFieldMaxChars = 90;
constexpr int kFieldPaddingPixels = 24;  // the field's padding, border and caret

bool IsField(ControlClass kind) {
  return kind == ControlClass::Edit || kind == ControlClass::ComboBox ||
         kind == ControlClass::ListBox;
}

// Template indexes row by row: controls whose lines overlap share a row, each
// row ordered left to right.
std::vector<std::vector<size_t>> Rows(std::span<const ControlTemplate> controls) {
  std::vector<size_t> order(controls.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return controls[a].y < controls[b].y; });
  std::vector<std::vector<size_t>> rows;
  int bottom = 0;
  for (size_t i : order) {
    const ControlTemplate& control = controls[i];
    if (rows.empty() || control.y >= bottom) {
      rows.emplace_back();
      bottom = control.y + std::min(control.height, kLineUnits);
    }
    rows.back().push_back(i);
  }
  for (auto& row : rows)
    std::stable_sort(row.begin(), row.end(),
                     [&](size_t a, size_t b) { return controls[a].x < controls[b].x; });
  return rows;
}

// A row's cells: a label and its field side by side, a check box's text in the
// first column and its box in the second.
int CellsOf(const std::vector<ControlWidgets>& made, const std::vector<size_t>& row) {
  return row.size() == 1 && made[row[0]].label ? 2 : int(row.size());
}

void Attach(GtkGrid* grid, GtkWidget* widget, int column, int row, int span) {
  if (column > 0) gtk_widget_set_halign(widget, GTK_ALIGN_START);
  gtk_grid_attach(grid, widget, column, row, span, 1);
}

}  // namespace

bool IsForm(const DialogTemplate& source) {
  return std::any_of(source.controls.begin(), source.controls.end(),
                     [](const ControlTemplate& c) { return IsField(c.controlClass); });
}

GtkWidget* PlaceOnGrid(const DialogTemplate& source, std::vector<ControlWidgets>& made) {
  const auto rows = Rows(source.controls.first(made.size()));
  int columns = 1;
  for (const auto& row : rows) columns = std::max(columns, CellsOf(made, row));
  GtkWidget* grid = gtk_grid_new();
  gtk_widget_add_css_class(grid, "quarvel-form");
  gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
  for (ControlWidgets& control : made) {
    if (control.kind == ModelControlKind::Edit)
      gtk_editable_set_width_chars(GTK_EDITABLE(control.widget), kFieldMinChars);
    if (control.kind == ModelControlKind::Combo)
      gtk_editable_set_width_chars(
          GTK_EDITABLE(gtk_combo_box_get_child(GTK_COMBO_BOX(control.widget))), kFieldMinChars);
  }
  for (int r = 0; r < int(rows.size()); ++r) {
    const auto& row = rows[size_t(r)];
    ControlWidgets& first = made[row[0]];
    if (CellsOf(made, row) == 1) {
      // Alone on its line (the copyright line, a dialog's prompt): the whole width.
      if (r > 0 && first.kind == ModelControlKind::Static && r == int(rows.size()) - 1)
        gtk_widget_add_css_class(first.widget, "dim-label");
      gtk_widget_set_hexpand(first.widget, first.kind != ModelControlKind::Static);
      gtk_grid_attach(GTK_GRID(grid), first.widget, 0, r, columns, 1);
    } else if (first.label) {
      Attach(GTK_GRID(grid), first.label, 0, r, 1);
      Attach(GTK_GRID(grid), first.widget, 1, r, columns - 1);
    } else {
      for (int c = 0; c < int(row.size()); ++c) {
        ControlWidgets& cell = made[row[size_t(c)]];
        Attach(GTK_GRID(grid), cell.widget, c, r, c + 1 == int(row.size()) ? columns - c : 1);
      }
    }
  }
  return grid;
}

void WidenToContent(ControlWidgets& combo, const ModelControl& state) {
  if (combo.kind != ModelControlKind::Combo) return;
  std::u16string longest = state.text;
  for (const std::u16string& item : state.items)
    if (item.size() > longest.size()) longest = item;
  longest.resize(std::min(longest.size(), size_t(kFieldMaxChars)));
  GtkWidget* entry = gtk_combo_box_get_child(GTK_COMBO_BOX(combo.widget));
  // The font's own widths: GTK's width in characters takes the widest letter, which
  // leaves a name's field a fifth too wide.
  PangoLayout* layout = gtk_widget_create_pango_layout(entry, Utf8(longest).c_str());
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  width += kFieldPaddingPixels;
  int shown = 0;
  gtk_widget_get_size_request(entry, &shown, nullptr);
  if (width > shown) gtk_widget_set_size_request(entry, width, -1);
}

}  // namespace gtk_windows

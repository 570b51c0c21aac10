// Drawing of the terminal form: the dialog on top, its soft keys, an open list or
// pop-up, and a message box over everything.
#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <algorithm>
#include <vector>

#include "common/utf8.h"
#include "platform/posix/config_form/config_form_ui.h"
#include "resources/resources.h"

namespace config_form {

namespace {

struct Origin {
  int row, col;
};

// Columns a text takes: one per character, a pair counting once.
int Width(const std::u16string& text) {
  int count = 0;
  for (char16_t c : text) count += utf8::IsLowSurrogate(c) ? 0 : 1;
  return count;
}

std::u16string Fit(const std::u16string& text, int width) {
  std::u16string out;
  int used = 0;
  for (std::size_t i = 0; i < text.size() && used < width; ++i) {
    out += text[i];
    if (utf8::IsHighSurrogate(text[i]) && i + 1 < text.size()) out += text[++i];
    ++used;
  }
  return out;
}

void Put(int row, int col, const std::u16string& text, int width = -1) {
  if (row < 0 || row >= LINES || col >= COLS) return;
  const int room = COLS - col;
  const std::u16string shown = Fit(text, width < 0 ? room : std::min(width, room));
  mvaddstr(row, col, utf8::Utf16ToUtf8(shown).c_str());
}

// A field of `width` cells: its text, padded, between brackets. Too long, a field one
// types in shows its end, where the caret is; a list its entry's beginning.
void PutField(int row, int col, const std::u16string& text, int width, bool arrow, bool typed) {
  const int inner = std::max(1, width - 2 - (arrow ? 1 : 0));
  std::u16string shown = text;
  if (text.size() > std::size_t(inner))
    shown = typed ? text.substr(text.size() - inner) : Fit(text, inner);
  shown.append(std::size_t(std::max(0, inner - Width(shown))), u' ');
  Put(row, col, u"[" + shown + (arrow ? u"v]" : u"]"));
}

void DrawControl(const ModelControl& control, const ControlTemplate& place, Origin at,
                 bool focused) {
  const int row = at.row + CellsY(place.y), col = at.col + CellsX(place.x);
  const int width = std::max(4, CellsX(place.width));
  attr_t attributes = control.enabled ? A_NORMAL : A_DIM;
  attron(attributes);
  switch (control.kind) {
    case ModelControlKind::CheckBox: {
      Put(row, col, control.text, width - 4);
      if (focused) attron(A_REVERSE);
      Put(row, col + width - 3, control.checked ? u"[x]" : u"[ ]");
      if (focused) attroff(A_REVERSE);
      break;
    }
    case ModelControlKind::Combo:
    case ModelControlKind::ComboList:
    case ModelControlKind::Edit: {
      const bool list = control.kind != ModelControlKind::Edit;
      if (focused && control.kind == ModelControlKind::ComboList) attron(A_REVERSE);
      PutField(row, col, control.text, width, list, control.kind != ModelControlKind::ComboList);
      if (focused && control.kind == ModelControlKind::ComboList) attroff(A_REVERSE);
      break;
    }
    case ModelControlKind::Bitmap: break;
    default: Put(row, col, control.text); break;
  }
  attroff(attributes);
}

void DrawBox(int top, int left, int height, int width) {
  for (int r = top; r < top + height; ++r) mvhline(r, left, ' ', width);
  mvhline(top, left, ACS_HLINE, width);
  mvhline(top + height - 1, left, ACS_HLINE, width);
  mvvline(top, left, ACS_VLINE, height);
  mvvline(top, left + width - 1, ACS_VLINE, height);
  mvaddch(top, left, ACS_ULCORNER);
  mvaddch(top, left + width - 1, ACS_URCORNER);
  mvaddch(top + height - 1, left, ACS_LLCORNER);
  mvaddch(top + height - 1, left + width - 1, ACS_LRCORNER);
}

void DrawSoftKeys(const ModelDialog& dialog) {
  const int row = LINES - 1;
  attron(A_REVERSE);
  mvhline(row, 0, ' ', COLS);
  for (std::size_t i = 0; i < dialog.softKeys.size() && i < 2; ++i) {
    const std::u16string label = (i == 0 ? u"F1 " : u"F2 ") + dialog.softKeys[i].label +
                                 (dialog.softKeys[i].dropDown ? u" ^" : u"");
    Put(row, i == 0 ? 1 : std::max(0, COLS - 1 - Width(label)), label);
  }
  attroff(A_REVERSE);
}

void DrawPopup(const Ui& ui, const ModelDialog& dialog) {
  if (!ui.popupOpen || dialog.softKeys.size() < 2) return;
  const auto& items = dialog.softKeys[1].popup;
  int width = 0;
  for (const auto& item : items) width = std::max(width, Width(item.second));
  width += 4;
  const int height = int(items.size()) + 2;
  const int top = std::max(0, LINES - 1 - height), left = std::max(0, COLS - width - 1);
  DrawBox(top, left, height, width);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (int(i) == ui.popupSelected) attron(A_REVERSE);
    Put(top + 1 + int(i), left + 1, u" " + items[i].second + u" ", width - 2);
    if (int(i) == ui.popupSelected) attroff(A_REVERSE);
  }
}

void DrawList(const Ui& ui, const ModelDialog& dialog, const DialogTemplate& source, Origin at) {
  if (!ui.listControl) return;
  const ModelControl* control = dialog.Control(ui.listControl);
  for (const ControlTemplate& place : source.controls) {
    if (place.id != ui.listControl || !control) continue;
    const int width = std::max(6, CellsX(place.width));
    const int height = std::min(int(control->items.size()) + 2, std::max(3, LINES - 2));
    int top = at.row + CellsY(place.y) + 1;
    if (top + height > LINES - 1) top = std::max(0, LINES - 1 - height);
    const int left = std::min(at.col + CellsX(place.x), std::max(0, COLS - width));
    DrawBox(top, left, height, width);
    const int rows = height - 2;
    const int first = std::max(0, ui.listSelected - rows + 1);
    for (int r = 0; r < rows && first + r < int(control->items.size()); ++r) {
      if (first + r == ui.listSelected) attron(A_REVERSE);
      Put(top + 1 + r, left + 1, control->items[std::size_t(first + r)], width - 2);
      if (first + r == ui.listSelected) attroff(A_REVERSE);
    }
  }
}

std::vector<std::u16string> WrapLines(const std::u16string& text, int width) {
  std::vector<std::u16string> lines;
  std::u16string line;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'\n') {
      lines.push_back(line);
      line.clear();
      continue;
    }
    line += text[i];
    if (Width(line) >= width) {
      const std::size_t space = line.rfind(u' ');
      if (space != std::u16string::npos && space > 0) {
        lines.push_back(line.substr(0, space));
        line = line.substr(space + 1);
      } else {
        lines.push_back(line);
        line.clear();
      }
    }
  }
  return lines;
}

void DrawMessageBox(const PendingBox& box) {
  const int maxText = std::max(10, COLS - 8);
  const std::vector<std::u16string> lines = WrapLines(box.text, maxText);
  int width = Width(box.caption) + 4;
  for (const auto& line : lines) width = std::max(width, Width(line) + 4);
  const int buttons = BoxButtonCount(box.flags);
  width = std::max(width, buttons * 9 + 4);
  width = std::min(width, COLS);
  const int height = std::min(int(lines.size()) + 4, LINES);
  const int top = std::max(0, (LINES - height) / 2), left = std::max(0, (COLS - width) / 2);
  DrawBox(top, left, height, width);
  attron(A_BOLD);
  Put(top, left + 2, u" " + box.caption + u" ", width - 4);
  attroff(A_BOLD);
  for (std::size_t i = 0; i < lines.size() && int(i) < height - 4; ++i)
    Put(top + 1 + int(i), left + 2, lines[i], width - 4);
  int col = left + (width - buttons * 9) / 2;
  for (int b = 0; b < buttons; ++b, col += 9) {
    if (b == box.selected) attron(A_REVERSE);
    const std::string label = BoxButtonLabel(box.flags, b);
    mvaddstr(top + height - 2, col, ("[ " + label + " ]").c_str());
    if (b == box.selected) attroff(A_REVERSE);
  }
}

// Where the caret goes: after the text of a focused field.
void PlaceCaret(const ModelDialog& dialog, const DialogTemplate& source, Origin at, int focus,
                bool overlay) {
  const ModelControl* control = dialog.Control(focus);
  const bool field = control && (control->kind == ModelControlKind::Combo ||
                                 control->kind == ModelControlKind::Edit);
  if (overlay || !field) {
    curs_set(0);
    return;
  }
  for (const ControlTemplate& place : source.controls) {
    if (place.id != focus) continue;
    const int width = std::max(4, CellsX(place.width));
    const int inner = std::max(1, width - 2 - (control->kind == ModelControlKind::Combo ? 1 : 0));
    const int caret = std::min(Width(control->text), inner - 1);
    curs_set(1);
    move(at.row + CellsY(place.y), at.col + CellsX(place.x) + 1 + caret);
    return;
  }
}

}  // namespace

void Draw(Ui& ui) {
  erase();
  PendingBox box;
  {
    std::lock_guard lock(ui.mutex);
    box = ui.box;
  }
  const std::optional<ModelDialog> dialog = ModelSnapshot(ModelActiveDialog());
  const DialogTemplate* source = dialog ? FindDialogTemplate(dialog->templateId) : nullptr;
  if (dialog && source) {
    attron(A_REVERSE);
    mvhline(0, 0, ' ', COLS);
    Put(0, std::max(0, (COLS - Width(dialog->title)) / 2), dialog->title);
    attroff(A_REVERSE);
    const Origin at{1, std::max(0, (COLS - CellsX(source->width)) / 2)};
    const int focus = FocusedControl(*dialog);
    for (std::size_t i = 0; i < dialog->controls.size() && i < source->controls.size(); ++i) {
      DrawControl(dialog->controls[i], source->controls[i], at,
                  dialog->controls[i].id == focus && dialog->controls[i].enabled);
    }
    DrawSoftKeys(*dialog);
    DrawList(ui, *dialog, *source, at);
    DrawPopup(ui, *dialog);
    if (box.open) DrawMessageBox(box);
    PlaceCaret(*dialog, *source, at, focus, box.open || ui.popupOpen || ui.listControl);
  } else if (box.open) {
    DrawMessageBox(box);
    curs_set(0);
  }
  refresh();
}

int FocusedControl(const ModelDialog& dialog) {
  const ModelControl* focused = dialog.Control(dialog.focusId);
  if (focused && focused->tabStop && focused->enabled) return focused->id;
  for (const ModelControl& control : dialog.controls) {
    if (control.tabStop && control.enabled) return control.id;
  }
  return 0;
}

int BoxButtonCount(unsigned flags) {
  const unsigned buttons = flags & kMbButtonMask;
  return buttons == kMbYesNo || buttons == kMbOkCancel ? 2 : 1;
}

int BoxButtonAnswer(unsigned flags, int index) {
  switch (flags & kMbButtonMask) {
    case kMbYesNo: return index == 0 ? kIdYes : kIdNo;
    case kMbOkCancel: return index == 0 ? kIdOk : kIdCancel;
    default: return kIdOk;
  }
}

const char* BoxButtonLabel(unsigned flags, int index) {
  switch (flags & kMbButtonMask) {
    case kMbYesNo: return index == 0 ? "Yes" : "No";
    case kMbOkCancel: return index == 0 ? "OK" : "Cancel";
    default: return "OK";
  }
}

}  // namespace config_form

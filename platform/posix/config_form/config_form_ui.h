// Inside of the terminal form: what the drawing and the key halves share.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/model/dialog_model.h"

namespace config_form {

// A message box waiting for the user; the program's thread blocks on it.
struct PendingBox {
  bool open = false;
  std::u16string text, caption;
  unsigned flags = 0;
  int selected = 0;  // index into the box's buttons
  int answer = 0;
};

struct Ui {
  std::mutex mutex;
  std::condition_variable answered;
  PendingBox box;  // under mutex

  // Only the terminal's thread touches these.
  bool popupOpen = false;  // the right soft key's pop-up
  int popupSelected = 0;
  int listControl = 0;  // a combo whose list is dropped down, 0 for none
  int listSelected = 0;
  int wakeFd[2] = {-1, -1};
};

// Terminal cells of dialog units (8 pt font: a character is 4 x 8 units). Rows are
// rounded, so that a label a unit or two below its field shares the field's row.
inline int CellsX(int units) { return units / 4; }
inline int CellsY(int units) { return (units + 4) / 8; }

// The buttons a box shows and the answers they give.
int BoxButtonCount(unsigned flags);
int BoxButtonAnswer(unsigned flags, int index);
const char* BoxButtonLabel(unsigned flags, int index);

void Draw(Ui& ui);
// One key (a character or a KEY_* code), for the box, list or dialog on top.
void HandleKey(Ui& ui, int key, bool isKeyCode);
// Answers the open box, if any, with its default; the program's thread goes on.
void AnswerBox(Ui& ui, int answer);

// The focused control as the form shows it: the model's, or the first usable one.
int FocusedControl(const ModelDialog& dialog);

}  // namespace config_form

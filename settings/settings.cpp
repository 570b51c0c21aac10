// The user's settings: each value read from a file line or a launch word, and
// written as text, by the kind of its field.
#include "settings/settings.h"

#include <algorithm>

#include "settings/settings_lines.h"

namespace {

template <class... Handlers>
struct ByKind : Handlers... {
  using Handlers::operator()...;
};

// Calls the handler for the kind of the field at index, with the field itself.
template <class... Handlers>
void ForField(int index, Handlers... handlers) {
  if (index < 0 || index >= kSettingsValueCount) return;
  std::visit(ByKind<Handlers...>{handlers...}, kSettingsValues[index].field);
}

void SetText(char16_t (&field)[kPortNameUnits + 1], std::u16string_view text) {
  const std::size_t length = text.copy(field, kPortNameUnits);
  field[length] = 0;
}

void SetLetter(char16_t (&field)[2], char16_t letter) {
  field[0] = letter;
  field[1] = 0;
}

}  // namespace

const char16_t* FlagText(bool on) { return on ? u"1" : u"0"; }

std::u16string SettingsValueText(const Settings& settings, int index) {
  std::u16string text;
  ForField(
      index, [&](SettingsTextField field) { text = settings.*field; },
      [&](SettingsLetterField field) { text = settings.*field; },
      [&](SettingsFlagField field) { text = FlagText(settings.*field != 0); });
  return text;
}

void TakeSettingsLine(const char16_t* line, int index, Settings& settings) {
  ForField(
      index,
      [&](SettingsTextField field) {
        SetText(settings.*field, line);
        TrimLineEnd(settings.*field);
      },
      [&](SettingsLetterField field) { SetLetter(settings.*field, line[0]); },
      [&](SettingsFlagField field) { settings.*field = IsFlagOn(line); });
}

void TakeSettingsWord(std::u16string_view word, int index, Settings& settings) {
  ForField(
      index, [&](SettingsTextField field) { SetText(settings.*field, word); },
      [&](SettingsLetterField field) {
        if (!word.empty()) SetLetter(settings.*field, word.back());
      },
      [&](SettingsFlagField field) {
        if (!word.empty()) settings.*field = word.back() == u'1';
      });
}

void ApplySettingsValues(const SettingsValues& values, Settings& settings) {
  for (int i = 0; i < std::min(values.count, kSettingsValueCount); ++i) {
    TakeSettingsLine(values.lines[i], i, settings);
  }
}

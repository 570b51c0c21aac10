// Controls of the dialog model by id: texts, images, check boxes, combo boxes.
#include "common/ascii_case.h"
#include "platform/model/model_state.h"

using namespace model_detail;

namespace {

bool IsCombo(const ModelControl& control) {
  return control.kind == ModelControlKind::Combo || control.kind == ModelControlKind::ComboList;
}

// CB_FINDSTRING folds Latin-1's capitals too (but not the multiplication sign).
char16_t FoldCase(char16_t c) {
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
  return FoldAscii(c);
}

bool StartsWithIgnoringCase(const std::u16string& text, std::u16string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
  }
  return true;
}

// CB_SETCURSEL: an editable combo's field shows the chosen item, or clears.
int Select(ModelControl& control, int index) {
  const bool valid = index >= 0 && index < int(control.items.size());
  control.selection = valid ? index : kCbErr;
  control.text = valid ? control.items[size_t(index)] : u"";
  return valid ? index : kCbErr;
}

}  // namespace

bool SetControlText(DialogHandle dialog, int controlId, const char16_t* text) {
  bool accepted = false;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    // A drop-down list has no field of its own to write into.
    if (control.kind == ModelControlKind::ComboList) return false;
    accepted = true;
    std::u16string value = text ? text : u"";
    if (control.text == value) return false;
    control.text = std::move(value);
    return true;
  });
  return accepted;
}

int GetControlText(DialogHandle dialog, int controlId, char16_t* buffer, int capacity) {
  const std::u16string text = ReadControl(dialog, controlId, std::u16string(),
                                          [](const ModelControl& c) { return c.text; });
  return CopyText(text, buffer, capacity);
}

bool SetControlImage(DialogHandle dialog, int controlId, int bitmapId) {
  return ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (control.imageId == bitmapId) return false;
    control.imageId = bitmapId;
    return true;
  });
}

bool SetCheck(DialogHandle dialog, int controlId, bool checked) {
  return ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (control.checked == checked) return false;
    control.checked = checked;
    return true;
  });
}

bool IsChecked(DialogHandle dialog, int controlId) {
  return ReadControl(dialog, controlId, false, [](const ModelControl& c) { return c.checked; });
}

bool EnableControl(DialogHandle dialog, int controlId, bool enabled) {
  return ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (control.enabled == enabled) return false;
    control.enabled = enabled;
    return true;
  });
}

bool IsControlEnabled(DialogHandle dialog, int controlId) {
  return ReadControl(dialog, controlId, false, [](const ModelControl& c) { return c.enabled; });
}

int ComboAddString(DialogHandle dialog, int controlId, const char16_t* text) {
  int index = kCbErr;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (!IsCombo(control) && control.kind != ModelControlKind::ListBox) return false;
    control.items.emplace_back(text ? text : u"");
    index = int(control.items.size()) - 1;
    return true;
  });
  return index;
}

bool ComboReset(DialogHandle dialog, int controlId) {
  bool reset = false;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (!IsCombo(control) && control.kind != ModelControlKind::ListBox) return false;
    control.items.clear();
    control.selection = kCbErr;
    control.text.clear();
    reset = true;
    return true;
  });
  return reset;
}

int ComboGetCount(DialogHandle dialog, int controlId) {
  return ReadControl(dialog, controlId, kCbErr, [](const ModelControl& c) {
    return IsCombo(c) ? int(c.items.size()) : kCbErr;
  });
}

bool ComboLimitText(DialogHandle dialog, int controlId, int units) {
  bool accepted = false;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    accepted = control.kind == ModelControlKind::Combo;
    if (accepted) control.textLimit = units;
    return false;  // nothing to see changes
  });
  return accepted;
}

int ComboSetSelection(DialogHandle dialog, int controlId, int index) {
  int result = kCbErr;
  ChangeControl(dialog, controlId, [&](ModelControl& control) {
    if (!IsCombo(control)) return false;
    result = Select(control, index);
    return true;
  });
  return result;
}

int ComboGetSelection(DialogHandle dialog, int controlId) {
  return ReadControl(dialog, controlId, kCbErr,
                     [](const ModelControl& c) { return IsCombo(c) ? c.selection : kCbErr; });
}

int ComboFindString(DialogHandle dialog, int controlId, int startAfter, const char16_t* prefix) {
  const std::u16string_view wanted = prefix ? prefix : u"";
  return ReadControl(dialog, controlId, kCbErr, [&](const ModelControl& c) {
    const int count = int(c.items.size());
    if (!IsCombo(c) || count == 0) return kCbErr;
    const int first = startAfter >= 0 && startAfter < count ? startAfter + 1 : 0;
    for (int n = 0; n < count; ++n) {
      const int index = (first + n) % count;
      if (StartsWithIgnoringCase(c.items[size_t(index)], wanted)) return index;
    }
    return kCbErr;
  });
}

int ComboGetItemText(DialogHandle dialog, int controlId, int index, char16_t* buffer,
                     int capacity) {
  const auto item = ReadControl(dialog, controlId, std::optional<std::u16string>(),
                                [&](const ModelControl& c) -> std::optional<std::u16string> {
                                  if (!IsCombo(c) || index < 0 || index >= int(c.items.size()))
                                    return std::nullopt;
                                  return c.items[size_t(index)];
                                });
  if (!item) {
    CopyText(u"", buffer, capacity);
    return kCbErr;
  }
  return CopyText(*item, buffer, capacity);
}

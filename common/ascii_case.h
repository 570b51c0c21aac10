// Comparisons that ignore the case of ASCII letters only, as the port and platform
// names they serve are ASCII and must not change meaning with the locale.
#pragma once

#include <string_view>

constexpr char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

constexpr bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  }
  return true;
}

constexpr bool EqualsIgnoringAsciiCase(std::u16string_view text, std::u16string_view expected) {
  return text.size() == expected.size() && StartsWithIgnoringAsciiCase(text, expected);
}

// UTF-16 of the core as Win32's wide text: on Windows wchar_t is that same UTF-16.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

inline std::wstring WideFromUtf16(std::u16string_view text) {
  return std::wstring(AsWide(text.data()), text.size());
}

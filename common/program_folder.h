// The folder a program's file lies in, where its companions (settings.ini, Quarvel) are.
#pragma once

#include <string_view>

// modulePath up to and including its last separator; empty when it has none.
constexpr std::u16string_view ProgramFolder(std::u16string_view modulePath, char16_t separator) {
  const std::size_t last = modulePath.rfind(separator);
  return last == std::u16string_view::npos ? std::u16string_view() : modulePath.substr(0, last + 1);
}

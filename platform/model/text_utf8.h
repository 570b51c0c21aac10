// UTF-16 to UTF-8 for the model's and the terminal's output.
#pragma once

#include <string>
#include <string_view>

// Unpaired surrogates become U+FFFD.
namespace model_detail {
std::string ToUtf8(std::u16string_view text);
}  // namespace model_detail

// The Windows CE shortcut format: a count, "#", then the command to run.
#include "common/shortcut_text.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "common/multibyte_text.h"
#include "common/utf8.h"

namespace {

// Units per piece, so that no piece outgrows the multibyte buffer: a UTF-16 unit
// never takes more than three bytes, and a pair four.
constexpr std::size_t kPieceUnits = (kMultibyteBufferBytes - 1) / 3;

// A text of any length, in pieces that each fit the buffer, never splitting a pair.
bool WriteLongText(std::u16string_view text, std::FILE* file) {
  bool ok = true;
  while (!text.empty()) {
    std::size_t take = std::min(text.size(), kPieceUnits);
    if (take < text.size() && utf8::IsHighSurrogate(text[take - 1])) --take;
    const std::u16string piece(text.substr(0, take));
    ok = WriteTextAsMultibyte(piece.c_str(), file) && ok;
    text.remove_prefix(take);
  }
  return ok;
}

}  // namespace

bool WriteShortcutText(std::FILE* file, const char16_t* target, const char16_t* arguments) {
  const std::u16string_view targetText = target;
  const std::string digits = std::to_string(targetText.size() + 2);
  const std::u16string count(digits.begin(), digits.end());
  bool ok = WriteTextAsMultibyte(count.c_str(), file);
  ok = WriteTextAsMultibyte(u"#\"", file) && ok;
  ok = WriteLongText(targetText, file) && ok;
  ok = WriteTextAsMultibyte(u"\" ", file) && ok;
  ok = WriteLongText(arguments, file) && ok;
  return ok;
}

// UTF-8 <-> UTF-16 by hand, so that no locale can change it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

// What a lead byte promises: the length of its sequence (0: it starts none), the
// range the second byte must lie in (which rules out overlong forms, surrogates
// and code points past U+10FFFF) and the code point bits it carries.
struct Lead {
  int length;
  unsigned char secondLow, secondHigh;
  char32_t bits;
};
Lead ReadLead(unsigned char byte);

inline bool IsContinuation(int byte) { return byte >= 0x80 && byte <= 0xBF; }

// One character from the front of bytes (length available, at least 1): its code
// point and its length in bytes, or length 0 when the first byte starts no
// complete, well-formed character.
struct Decoded {
  char32_t code;
  std::size_t length;
};
Decoded Decode(const unsigned char* bytes, std::size_t available);

// One character from the front of UTF-16 text (not empty) and how many units it
// takes; a lone surrogate comes back as itself, with one unit.
Decoded DecodeUtf16(const char16_t* text);

inline bool IsSurrogate(char32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

// The first unit of a pair: a text cut right after it would split a character.
inline bool IsHighSurrogate(char32_t code) { return code >= 0xD800 && code < 0xDC00; }

// The second unit of a pair: it never starts a character.
inline bool IsLowSurrogate(char32_t code) { return code >= 0xDC00 && code <= 0xDFFF; }

// The UTF-8 bytes of a code point that is no surrogate, into out (4 bytes); the count.
std::size_t Encode(char32_t code, char* out);

// The UTF-16 units of a code point, into out (2 units); the count.
std::size_t EncodeUtf16(char32_t code, char16_t* out);

// Whole UTF-16 text as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Whole UTF-8 text as UTF-16; each byte that starts no character becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);

}  // namespace utf8

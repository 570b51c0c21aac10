// UTF-8 <-> UTF-16 by hand, so that no locale can change it.
#include "common/utf8.h"

namespace utf8 {

Lead ReadLead(unsigned char byte) {
  if (byte < 0x80) return {1, 0, 0, byte};
  if (byte < 0xC2) return {0, 0, 0, 0};  // a continuation byte, or an overlong lead
  if (byte < 0xE0) return {2, 0x80, 0xBF, char32_t(byte & 0x1F)};
  if (byte == 0xE0) return {3, 0xA0, 0xBF, 0};
  if (byte == 0xED) return {3, 0x80, 0x9F, 0xD};  // below the surrogates
  if (byte < 0xF0) return {3, 0x80, 0xBF, char32_t(byte & 0x0F)};
  if (byte == 0xF0) return {4, 0x90, 0xBF, 0};
  if (byte < 0xF4) return {4, 0x80, 0xBF, char32_t(byte & 0x07)};
  if (byte == 0xF4) return {4, 0x80, 0x8F, 4};
  return {0, 0, 0, 0};
}

Decoded Decode(const unsigned char* bytes, std::size_t available) {
  const Lead lead = ReadLead(bytes[0]);
  if (lead.length == 0 || std::size_t(lead.length) > available) return {0, 0};
  if (lead.length == 1) return {lead.bits, 1};
  if (bytes[1] < lead.secondLow || bytes[1] > lead.secondHigh) return {0, 0};
  char32_t code = lead.bits;
  for (int i = 1; i < lead.length; ++i) {
    if (!IsContinuation(bytes[i])) return {0, 0};
    code = code << 6 | (bytes[i] & 0x3F);
  }
  return {code, std::size_t(lead.length)};
}

Decoded DecodeUtf16(const char16_t* text) {
  const char32_t first = text[0];
  if (IsHighSurrogate(first) && IsLowSurrogate(text[1])) {
    return {0x10000 + ((first - 0xD800) << 10) + (text[1] - 0xDC00), 2};
  }
  return {first, 1};
}

std::size_t Encode(char32_t code, char* out) {
  if (code < 0x80) {
    out[0] = char(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = char(0xC0 | code >> 6);
    out[1] = char(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = char(0xE0 | code >> 12);
    out[1] = char(0x80 | (code >> 6 & 0x3F));
    out[2] = char(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = char(0xF0 | code >> 18);
  out[1] = char(0x80 | (code >> 12 & 0x3F));
  out[2] = char(0x80 | (code >> 6 & 0x3F));
  out[3] = char(0x80 | (code & 0x3F));
  return 4;
}

std::size_t EncodeUtf16(char32_t code, char16_t* out) {
  if (code < 0x10000) {
    out[0] = char16_t(code);
    return 1;
  }
  out[0] = char16_t(0xD800 + ((code - 0x10000) >> 10));
  out[1] = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
  return 2;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    // DecodeUtf16 reads one unit past a high surrogate: give it a terminated pair.
    const char16_t pair[3] = {text[i], i + 1 < text.size() ? text[i + 1] : u'\0', u'\0'};
    Decoded d = DecodeUtf16(pair);
    i += d.length;
    if (IsSurrogate(d.code)) d.code = 0xFFFD;
    char bytes[4];
    out.append(bytes, Encode(d.code, bytes));
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string text;
  auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t left = bytes.size(); left > 0;) {
    Decoded d = Decode(at, left);
    if (d.length == 0) d = {0xFFFD, 1};
    char16_t units[2];
    text.append(units, EncodeUtf16(d.code, units));
    at += d.length;
    left -= d.length;
  }
  return text;
}

}  // namespace utf8

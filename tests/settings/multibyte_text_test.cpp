// Text in the multibyte set of the files: UTF-8 on Linux, bounded to the buffer.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/multibyte_text.h"
#include "platform/files.h"
#include "settings/temp_dir.h"

namespace {

// What WriteTextAsMultibyte put into a file, and what it answered.
struct Written {
  bool ok;
  std::string bytes;
};

Written WriteToFile(const std::u16string& text) {
  TempDir dir;
  std::FILE* file = std::fopen((dir / "out").c_str(), "w");
  const bool ok = WriteTextAsMultibyte(text.c_str(), file);
  std::fclose(file);
  return {ok, ReadBytes(dir / "out")};
}

std::u16string Repeat(const std::u16string& unit, int count) {
  std::u16string out;
  for (int i = 0; i < count; ++i) out += unit;
  return out;
}

std::string RepeatBytes(const std::string& unit, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += unit;
  return out;
}

TEST(WriteTextAsMultibyte, PiecesAsUtf8) {
  const struct {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {u"# COM port\n", "# COM port\n"},
      {u"", ""},
      {u"COM\u00E9:", "COM\xC3\xA9:"},
      {u"\u20AC \u65E5", "\xE2\x82\xAC \xE6\x97\xA5"},
      {u"\U0001F600\U0010FFFF", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    const Written w = WriteToFile(c.text);
    EXPECT_TRUE(w.ok) << Show(c.text);
    EXPECT_EQ(w.bytes, c.bytes) << Show(c.text);
  }
}

TEST(WriteTextAsMultibyte, LonePiecesOfPairsBecomeQuestionMarks) {
  const struct {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {std::u16string(u"a") + char16_t(0xD800) + u"b", "a?b"},
      {std::u16string(u"a") + char16_t(0xDC00), "a?"},
      {std::u16string(1, char16_t(0xDBFF)), "?"},
      {std::u16string{char16_t(0xDC00), char16_t(0xD800)}, "??"},
      {std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)}, "?\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    const Written w = WriteToFile(c.text);
    EXPECT_TRUE(w.ok) << Show(c.text);
    EXPECT_EQ(w.bytes, c.bytes) << Show(c.text);
  }
}

TEST(WriteTextAsMultibyte, LongPiecesAreCutAtWholeCharacters) {
  const struct {
    const char* name;
    std::u16string text;
    std::string bytes;
    bool whole;
  } cases[] = {
      {"511 ASCII bytes fit", std::u16string(511, u'a'), std::string(511, 'a'), true},
      {"512 ASCII bytes do not", std::u16string(512, u'a'), std::string(511, 'a'), false},
      {"400 x e-acute", Repeat(u"\u00E9", 400), RepeatBytes("\xC3\xA9", 255), false},
      {"400 CJK", Repeat(u"\u65E5", 400), RepeatBytes("\xE6\x97\xA5", 170), false},
      {"200 emoji", Repeat(u"\U0001F600", 200), RepeatBytes("\xF0\x9F\x98\x80", 127), false},
      {"510 ASCII and a two-byte character", std::u16string(510, u'a') + u"\u00E9",
       std::string(510, 'a'), false},
      {"509 ASCII and a two-byte character", std::u16string(509, u'a') + u"\u00E9",
       std::string(509, 'a') + "\xC3\xA9", true},
  };
  for (const auto& c : cases) {
    const Written w = WriteToFile(c.text);
    EXPECT_EQ(w.ok, c.whole) << c.name;
    EXPECT_LE(w.bytes.size(), kMultibyteBufferBytes - 1) << c.name;
    EXPECT_EQ(w.bytes.size(), c.bytes.size()) << c.name;
    EXPECT_TRUE(w.bytes == c.bytes) << c.name;
  }
}

TEST(WriteTextAsMultibyte, FullDiskIsAFailure) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  EXPECT_FALSE(WriteTextAsMultibyte(u"# COM port\n", full));
  std::fclose(full);
}

TEST(WideToMultibyte, StopsBeforeACharacterThatDoesNotFit) {
  const struct {
    std::u16string text;
    std::size_t capacity;
    std::string bytes;
    bool whole;
  } cases[] = {
      {u"h\u00E9llo", 3, "h", false},
      {u"h\u00E9llo", 4, "h\xC3\xA9", false},
      {u"h\u00E9llo", 7, "h\xC3\xA9llo", true},
      {u"abc", 1, "", false},
      {u"", 1, "", true},
      {u"\U0001F600", 4, "", false},
      {u"\U0001F600", 5, "\xF0\x9F\x98\x80", true},
  };
  for (const auto& c : cases) {
    char out[20];
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_EQ(WideToMultibyte(c.text.c_str(), out, c.capacity), c.whole) << Show(c.text);
    EXPECT_EQ(std::string(out), c.bytes) << Show(c.text) << " in " << c.capacity;
    EXPECT_EQ(out[c.capacity], '#') << "wrote past the buffer for " << Show(c.text);
  }
}

TEST(MultibyteToWide, DecodesUtf8AndReplacesWhatIsNone) {
  const struct {
    std::string bytes;
    std::size_t capacity;
    std::u16string text;
    bool whole;
  } cases[] = {
      {"COM\xC3\xA9:", 16, u"COM\u00E9:", true},
      {"\xF0\x9F\x98\x80", 3, u"\U0001F600", true},
      {"\xF0\x9F\x98\x80", 2, u"", false},
      {"abc", 3, u"ab", false},
      {"\xC0\x80", 16, u"\uFFFD\uFFFD", true},                      // overlong NUL
      {"\xED\xA0\x80", 16, u"\uFFFD\uFFFD\uFFFD", true},            // an encoded surrogate
      {"\xF4\x90\x80\x80", 16, u"\uFFFD\uFFFD\uFFFD\uFFFD", true},  // past U+10FFFF
      {"\xE2\x82", 16, u"\uFFFD\uFFFD", true},                      // cut short
  };
  for (const auto& c : cases) {
    char16_t out[20];
    std::fill(std::begin(out), std::end(out), u'#');
    EXPECT_EQ(MultibyteToWide(c.bytes.c_str(), out, c.capacity), c.whole) << Show(c.text);
    EXPECT_EQ(std::u16string(out), c.text) << "got [" << Show(out) << "]";
    EXPECT_EQ(out[c.capacity], u'#') << "wrote past the buffer for " << Show(c.text);
  }
}

TEST(MultibyteText, EveryCharacterSurvivesTheRoundTrip) {
  for (char32_t code = 1; code <= 0x10FFFF; code += code < 0x10000 ? 1 : 97) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    std::u16string text;
    if (code < 0x10000) {
      text = {char16_t(code)};
    } else {
      text = {char16_t(0xD800 + ((code - 0x10000) >> 10)),
              char16_t(0xDC00 + ((code - 0x10000) & 0x3FF))};
    }
    char bytes[8];
    char16_t back[4];
    ASSERT_TRUE(WideToMultibyte(text.c_str(), bytes, sizeof bytes)) << unsigned(code);
    ASSERT_TRUE(MultibyteToWide(bytes, back, 4)) << unsigned(code);
    ASSERT_EQ(std::u16string(back), text) << "U+" << std::hex << unsigned(code);
  }
}

}  // namespace

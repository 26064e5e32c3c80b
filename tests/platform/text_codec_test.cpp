#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace hw {
namespace {

using namespace std::literals;

constexpr char16_t R = 0xFFFD;  // the replacement character

struct Utf8Case {
  std::string_view bytes;
  std::u16string expected;
  bool valid;
};

TEST(Utf8ToUtf16Test, DecodesAndReplacesEachMaximalInvalidSubsequence) {
  const Utf8Case cases[] = {
      {""sv, u"", true},
      {"a\0b"sv, u"a\0b"s, true},  // NULs are text like any other
      {"\xC2\x80\xDF\xBF"sv, u"\u0080\u07FF", true},
      {"\xE0\xA0\x80\xEF\xBF\xBF"sv, u"\u0800\uFFFF", true},
      {"\xED\x9F\xBF\xEE\x80\x80"sv, u"\uD7FF\uE000", true},  // around the surrogates
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"sv, u"\U00010000\U0010FFFF", true},
      {"\xE3\x83\x86\xE3\x83\xBC\xE3\x83\x9E"sv, u"テーマ", true},
      {"\xEF\xBF\xBD"sv, std::u16string(1, R), true},  // a literal U+FFFD is valid
      {"\x80"sv, {R}, false},
      {"\xBF\x80"sv, {R, R}, false},
      {"\xC0\x80"sv, {R, R}, false},  // overlong NUL
      {"\xC1\xBF"sv, {R, R}, false},
      {"\xE0\x9F\xBF"sv, {R, R, R}, false},         // overlong three-byte
      {"\xED\xA0\x80"sv, {R, R, R}, false},         // high surrogate
      {"\xED\xBF\xBF"sv, {R, R, R}, false},         // low surrogate
      {"\xF0\x8F\xBF\xBF"sv, {R, R, R, R}, false},  // overlong four-byte
      {"\xF4\x90\x80\x80"sv, {R, R, R, R}, false},  // above U+10FFFF
      {"\xF5\x80\x80\x80"sv, {R, R, R, R}, false},
      {"\xFF\xFE"sv, {R, R}, false},
      {"\xC2"sv, {R}, false},  // truncated at the end
      {"\xE3\x83"sv, {R}, false},
      {"\xF0\x9F\x98"sv, {R}, false},
      {"\xF0\x9F\x98"
       "A"sv,
       {R, u'A'},
       false},  // truncated inside the text
      {"\xC2\xC2\x80"sv, {R, u'\u0080'}, false},
      // The example of the Unicode standard's "maximal subpart" practice.
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64"sv,
       {u'a', R, R, R, u'b', R, u'c', R, R, u'd'},
       false},
  };
  for (const Utf8Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected);
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
  }
}

// The ASCII fast path works on blocks; a non-ASCII byte at any offset within or between blocks
// must leave the bytes around it intact.
TEST(Utf8ToUtf16Test, NonAsciiAtEveryOffsetOfTheAsciiFastPath) {
  for (std::size_t pos = 0; pos <= 40; ++pos) {
    SCOPED_TRACE(pos);
    std::string text(48, 'x');
    std::u16string expected(48, u'x');
    text.insert(pos, "\xC3\xA9");
    expected.insert(pos, 1, u'\u00E9');
    EXPECT_EQ(Utf8ToUtf16(text), expected);
    EXPECT_TRUE(IsValidUtf8(text));

    text.erase(pos + 1, 1);  // leaves a lone lead byte
    expected[pos] = R;
    EXPECT_EQ(Utf8ToUtf16(text), expected);
    EXPECT_FALSE(IsValidUtf8(text));
  }
}

TEST(Utf16ToUtf8Test, EncodesAndReplacesUnpairedSurrogates) {
  const struct {
    std::u16string text;
    std::string_view expected;
  } cases[] = {
      {u"", ""sv},
      {u"a\0b"s, "a\0b"sv},
      {u"\u0080\u07FF\u0800\uFFFF", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"sv},
      {u"\U00010000\U0010FFFF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"sv},
      {{0xD83D}, "\xEF\xBF\xBD"sv},  // high surrogate at the end
      {{0xD83D, u'a'},
       "\xEF\xBF\xBD"
       "a"sv},                                           // high surrogate before text
      {{0xDE00}, "\xEF\xBF\xBD"sv},                      // lone low surrogate
      {{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"sv},  // a pair in the wrong order
      {{0xD83D, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"sv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(Utf16ToUtf8(c.text), c.expected);
  }
  const std::u16string text = u"地震 M7.3 \U0001F30A";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

TEST(Cp932ToUtf16Test, DecodesWindowsShiftJis) {
  const struct {
    std::string_view bytes;
    std::u16string expected;
  } cases[] = {
      {"\x83\x65\x81\x5B\x83\x7D"sv, u"テーマ"},
      {"\\~"sv, u"\\~"},                // code page 932 keeps ASCII (no yen sign, no overline)
      {"\xB1\xDF"sv, u"\uFF71\uFF9F"},  // half-width katakana
      {"\x87\x40\xFA\x40"sv, u"①ⅰ"},    // NEC and IBM extensions
      {"a\0b"sv, u"a\0b"s},
      {"\x83"sv, {R}},  // lead byte at the end
      {"\x81\x20"
       "a"sv,
       {R, u' ', u'a'}},  // bad trail byte: only the lead byte is lost
      {"\x80\xA0\xFD"
       "\x82\xA0"sv,
       {R, R, R, u'あ'}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(Cp932ToUtf16(c.bytes), c.expected);
  }
}

TEST(Cp932ToUtf16Test, LongInputCrossesTheConversionBuffer) {
  std::string bytes;
  std::u16string expected;
  for (int i = 0; i < 5000; ++i) {
    bytes += (i % 97 == 0) ? "\xFF" : "\x82\xA0";
    expected += (i % 97 == 0) ? R : u'あ';
  }
  EXPECT_EQ(Cp932ToUtf16(bytes), expected);
}

TEST(Utf16LeToUtf16Test, ReadsPairsAndDropsAnOddByte) {
  EXPECT_EQ(Utf16LeToUtf16("a\0\x42\x30\x3D\xD8\x00\xDE"sv), u"aあ\U0001F600");
  EXPECT_EQ(Utf16LeToUtf16("a\0b"sv), u"a");
  EXPECT_EQ(Utf16LeToUtf16(""sv), u"");
}

TEST(EqualsIgnoreAsciiCaseTest, FoldsOnlyAsciiLetters) {
  const struct {
    std::u16string_view a;
    std::u16string_view b;
    bool equal;
  } cases[] = {
      {u"General", u"gENERAL", true},
      {u"", u"", true},
      {u"Key", u"Key2", false},
      {u"[", u"{", false},  // 0x5B and 0x7B differ only in the case bit
      {u"@", u"`", false},
      {u"É", u"é", false},  // non-ASCII letters compare exactly
      {u"ｋｅｙ", u"ＫＥＹ", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualsIgnoreAsciiCase(c.a, c.b), c.equal) << testing::PrintToString(c.a);
  }
}

}  // namespace
}  // namespace hw

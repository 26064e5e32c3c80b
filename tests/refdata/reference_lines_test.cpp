#include "refdata/reference_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/temp_folder.h"

namespace hw {
namespace {

std::vector<std::u16string> Lines(std::string_view bytes, int limit = 100, int* skipped = nullptr) {
  std::vector<std::u16string> lines;
  const ReferenceLineCount count =
      ReadReferenceLineBytes(bytes, limit, [&](int index, std::u16string_view line) {
        EXPECT_EQ(index, static_cast<int>(lines.size()));
        lines.emplace_back(line);
      });
  EXPECT_EQ(count.lines, static_cast<int>(lines.size()));
  if (skipped != nullptr) *skipped = count.skippedLongLines;
  return lines;
}

using L = std::vector<std::u16string>;

TEST(ReadReferenceLines, LineEnds) {
  EXPECT_EQ(Lines("a\nb\n"), (L{u"a", u"b"}));
  EXPECT_EQ(Lines("a\r\nb\r\n"), (L{u"a", u"b"}));
  EXPECT_EQ(Lines("a\nb"), (L{u"a"})) << "a last line without a line feed is not read";
  EXPECT_EQ(Lines("a\r\rb\r\n\r"), (L{u"ab"})) << "carriage returns vanish wherever they are";
  EXPECT_EQ(Lines("\na\n\n"), (L{u"", u"a", u""})) << "blank lines are entries";
  EXPECT_EQ(Lines(""), L{});
  EXPECT_EQ(Lines(std::string("a\0b\nc\n", 6)), (L{u"a", u"c"})) << "a NUL ends the text";
  EXPECT_EQ(Lines("\xE6\x9D\xB1\xFF\n"), (L{u"東\uFFFD"}));
}

TEST(ReadReferenceLines, ByteOrderMarkAtTheStartIsDropped) {
  // The second file's first line starts with a full-width digit (EF BC 92), whose first byte
  // equals the mark's.
  for (const std::string_view body :
       {std::string_view("name\t1\nsecond\n"), std::string_view("\xEF\xBC\x92\x33区\t2\n"),
        std::string_view("\n")}) {
    EXPECT_EQ(Lines("\xEF\xBB\xBF" + std::string(body)), Lines(body));
  }
  // Only at the very start: elsewhere it is a character of the text.
  EXPECT_EQ(Lines("a\n\xEF\xBB\xBF\x62\n"), (L{u"a", u"\uFEFFb"}));
}

// A line of 1000 bytes or more is dropped whole and counted; the lines after it are read.
TEST(ReadReferenceLines, ALineOfAThousandBytesIsSkippedAndCounted) {
  const std::string longest(999, 'x');
  std::string withReturns;  // carriage returns do not count towards the length
  for (int i = 0; i < 999; ++i)
    withReturns += "x\r";
  std::string kanji;  // the limit is in bytes: 333 three-byte characters fit
  for (int i = 0; i < 333; ++i)
    kanji += "東";
  struct Case {
    const char* what;
    std::string bytes;
    L lines;
    int skipped;
  };
  const Case cases[] = {
      {"999 bytes fit", "a\n" + longest + "\nb\n", {u"a", std::u16string(999, u'x'), u"b"}, 0},
      {"1000 bytes", "a\n" + longest + "y\nb\n", {u"a", u"b"}, 1},
      {"far longer, twice",
       "a\n" + std::string(5000, 'y') + "\n\n" + std::string(1000, 'z') + "\nb\n",
       {u"a", u"", u"b"},
       2},
      {"unterminated last line", "a\n" + longest + "y", {u"a"}, 0},
      {"returns", withReturns + "\n", {std::u16string(999, u'x')}, 0},
      {"333 kanji", kanji + "\n", {std::u16string(333, u'東')}, 0},
      {"333 kanji and a byte", kanji + "a\nb\n", {u"b"}, 1},
  };
  for (const Case& c : cases) {
    int skipped = -1;
    EXPECT_EQ(Lines(c.bytes, 100, &skipped), c.lines) << c.what;
    EXPECT_EQ(skipped, c.skipped) << c.what;
  }
}

TEST(ReadReferenceLines, StopsAtTheLineLimit) {
  EXPECT_EQ(Lines("a\nb\nc\n", 2), (L{u"a", u"b"}));
  EXPECT_EQ(Lines("a\nb\nc\n", 0), L{});
}

TEST(ReadReferenceLines, AFileThatCannotBeReadHasNoLines) {
  const test::TempFolder folder;
  int calls = 0;
  auto count = [&calls](int, std::u16string_view) { ++calls; };
  EXPECT_EQ(ReadReferenceLines(folder.U16() + u"\\missing.ini", 10, count).lines, 0);
  EXPECT_EQ(ReadReferenceLines(folder.U16(), 10, count).lines, 0) << "a folder is not a file";
  folder.Write("Setting/x.ini", "\xEF\xBB\xBFone\r\ntwo\r\n");
  EXPECT_EQ(ReadReferenceLines(folder.U16() + u"\\Setting\\x.ini", 10, count).lines, 2);
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace hw

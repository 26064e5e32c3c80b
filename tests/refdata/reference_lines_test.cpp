#include "refdata/reference_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/temp_folder.h"

namespace hw {
namespace {

std::vector<std::u16string> Lines(std::string_view bytes, int limit = 100) {
  std::vector<std::u16string> lines;
  const int count = ReadReferenceLineBytes(bytes, limit, [&](int index, std::u16string_view line) {
    EXPECT_EQ(index, static_cast<int>(lines.size()));
    lines.emplace_back(line);
  });
  EXPECT_EQ(count, static_cast<int>(lines.size()));
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

TEST(ReadReferenceLines, ALineOfAThousandBytesEndsTheFile) {
  const std::string longest(999, 'x');
  EXPECT_EQ(Lines("a\n" + longest + "\nb\n"), (L{u"a", std::u16string(999, u'x'), u"b"}));
  EXPECT_EQ(Lines("a\n" + longest + "y\nb\n"), (L{u"a"}));
  EXPECT_EQ(Lines("a\n" + longest + "y"), (L{u"a"}));
  // Carriage returns do not count towards the length.
  std::string withReturns;
  for (int i = 0; i < 999; ++i)
    withReturns += "x\r";
  EXPECT_EQ(Lines(withReturns + "\n").size(), 1u);
  // The limit is in bytes: 333 three-byte characters fit, one more byte does not.
  std::string kanji;
  for (int i = 0; i < 333; ++i)
    kanji += "東";
  EXPECT_EQ(Lines(kanji + "\n"), (L{std::u16string(333, u'東')}));
  EXPECT_EQ(Lines(kanji + "a\n"), L{});
}

TEST(ReadReferenceLines, StopsAtTheLineLimit) {
  EXPECT_EQ(Lines("a\nb\nc\n", 2), (L{u"a", u"b"}));
  EXPECT_EQ(Lines("a\nb\nc\n", 0), L{});
}

TEST(ReadReferenceLines, AFileThatCannotBeReadHasNoLines) {
  const test::TempFolder folder;
  int calls = 0;
  auto count = [&calls](int, std::u16string_view) { ++calls; };
  EXPECT_EQ(ReadReferenceLines(folder.U16() + u"\\missing.ini", 10, count), 0);
  EXPECT_EQ(ReadReferenceLines(folder.U16(), 10, count), 0) << "a folder is not a file";
  folder.Write("Setting/x.ini", "\xEF\xBB\xBFone\r\ntwo\r\n");
  EXPECT_EQ(ReadReferenceLines(folder.U16() + u"\\Setting\\x.ini", 10, count), 2);
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace hw

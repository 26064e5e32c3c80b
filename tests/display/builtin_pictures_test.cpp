#include "display/builtin_pictures.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/intensity_style.h"
#include "fakes/fake_text_renderer.h"

namespace hw {
namespace {

bool AllKey(const Surface& s, int left, int top, int width, int height) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      if (s.GetPixel(x, y) != kSpriteKey) return false;
    }
  }
  return true;
}

TEST(BuiltinPictures, SizesAsTheLoadingTableNeedsThem) {
  struct Case {
    int picture;
    int width;
    int height;
  };
  for (const Case& c : std::vector<Case>{{148, 8, 8},
                                         {149, 640, 64},
                                         {150, 1620, 162},
                                         {151, 8, 8},
                                         {152, 74, 74},
                                         {153, 351, 78},
                                         {154, 480, 400}}) {
    SCOPED_TRACE(c.picture);
    test::FakeTextRenderer text;
    const Surface picture = DrawBuiltinPicture(c.picture, text);
    EXPECT_EQ(picture.width(), c.width);
    EXPECT_EQ(picture.height(), c.height);
  }
  test::FakeTextRenderer text;
  EXPECT_TRUE(DrawBuiltinPicture(147, text).empty());
  EXPECT_TRUE(AllKey(DrawBuiltinPicture(148, text), 0, 0, 8, 8));
  EXPECT_TRUE(AllKey(DrawBuiltinPicture(151, text), 0, 0, 8, 8));
}

// Cell 0 is blank; cells 1–9 carry the intensity's colour and label, dark on 4, 5− and 5+.
TEST(BuiltinPictures, BadgeSheetsFollowTheIntensityCells) {
  for (const auto& [picture, cell] : {std::pair{149, 64}, std::pair{150, 162}}) {
    SCOPED_TRACE(picture);
    test::FakeTextRenderer text;
    const Surface sheet = DrawBuiltinPicture(picture, text);
    EXPECT_TRUE(AllKey(sheet, 0, 0, cell, cell));
    ASSERT_EQ(text.draws.size(), 9u);
    for (int c = 1; c < kIntensitySheetCells; ++c) {
      SCOPED_TRACE(c);
      EXPECT_EQ(sheet.GetPixel(c * cell + cell / 2, cell / 2), IntensityColour(c));
      EXPECT_EQ(sheet.GetPixel(c * cell, 0), kSpriteKey);
      const auto& draw = text.draws[static_cast<std::size_t>(c - 1)];
      EXPECT_EQ(draw.text, IntensityLabel(c));
      EXPECT_EQ(draw.color, DarkLabelOn(c) ? 0x000000u : 0xFFFFFFu);
      EXPECT_EQ(draw.rect, (Rect{c * cell, 0, (c + 1) * cell, cell}));
    }
  }
}

// Row 0 of the bar picture is blank so that it is indexed like the Mid and Min sheets.
TEST(BuiltinPictures, BarRowsAreIndexedLikeTheSheets) {
  test::FakeTextRenderer text;
  const Surface bars = DrawBuiltinPicture(kBarIntensityPicture, text);
  EXPECT_TRUE(AllKey(bars, 0, 0, 480, 40));
  for (int row = 1; row < kIntensitySheetCells; ++row) {
    SCOPED_TRACE(row);
    const int top = row * 40;
    EXPECT_EQ(bars.GetPixel(70, top + 20), IntensityColour(row));   // the bar
    EXPECT_EQ(bars.GetPixel(300, top + 19), IntensityColour(row));  // the line
    EXPECT_EQ(bars.GetPixel(300, top + 5), kSpriteKey);
    EXPECT_EQ(bars.GetPixel(1, top + 1), kSpriteKey);
  }
}

TEST(BuiltinPictures, EpicentreIsARedCrossWithAYellowRim) {
  test::FakeTextRenderer text;
  const Surface mark = DrawBuiltinPicture(kEpicentrePicture, text);
  EXPECT_EQ(mark.GetPixel(37, 37), 0x1200E6u);
  EXPECT_EQ(mark.GetPixel(30, 20), 0x00E6FFu);  // beside a stroke
  EXPECT_EQ(mark.GetPixel(0, 0), kSpriteKey);
  EXPECT_EQ(mark.GetPixel(37, 5), kSpriteKey);
}

// The pieces of the table cell are joined edge to edge by the city grid, so the border shading
// must continue across each join.
TEST(BuiltinPictures, TableCellPiecesJoinSeamlessly) {
  test::FakeTextRenderer text;
  const Surface cell = DrawBuiltinPicture(kCityTablePicture, text);
  EXPECT_EQ(cell.GetPixel(7, 7), 0x000000u);
  EXPECT_EQ(cell.GetPixel(336, 70), 0x000000u);
  for (int d = 0; d < 7; ++d) {
    SCOPED_TRACE(d);
    // Left and right borders do not change along their length: they are stretched.
    EXPECT_EQ(cell.GetPixel(d, 7), cell.GetPixel(d, 70));
    EXPECT_EQ(cell.GetPixel(337 + d, 7), cell.GetPixel(337 + d, 70));
    // Bottom border continues into the inner corner on its left …
    EXPECT_EQ(cell.GetPixel(350, d), cell.GetPixel(100, 71 + d));
    // … and the inner corner continues into a right border below it.
    EXPECT_EQ(cell.GetPixel(344 + d, 6), cell.GetPixel(337 + d, 40));
    // Opposite borders mirror each other.
    EXPECT_EQ(cell.GetPixel(d, 40), cell.GetPixel(343 - d, 40));
    EXPECT_EQ(cell.GetPixel(100, d), cell.GetPixel(100, 77 - d));
  }
}

}  // namespace
}  // namespace hw

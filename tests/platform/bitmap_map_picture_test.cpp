#include "platform/bitmap_map_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/bitmap_builder.h"
#include "fakes/temp_folder.h"
#include "platform/blit.h"
#include "platform/read_only_file.h"

namespace hw {
namespace {

using test::BitmapSpec;
using test::BuildBitmapFile;

constexpr int kWidth = 23;  // 69 bytes a 24-bit row: rows carry padding
constexpr int kHeight = 17;

// Many colours for the 24- and 32-bit files; at most 64 for the palettised ones.
COLORREF ManyColours(int x, int y) {
  return MakeColorRef((x * 37 + y * 11) & 0xFF, (x * y * 13) & 0xFF, (x + y) % 2 == 0 ? 250 : 5);
}
COLORREF FewColours(int x, int y) {
  return MakeColorRef(40 * (x % 4), 60 * (y % 4), 30 * ((x + y) % 4));
}

Surface Picture(const std::function<COLORREF(int, int)>& colourAt) {
  Surface surface(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x)
      surface.SetPixel(x, y, colourAt(x, y));
  }
  return surface;
}

Surface Background() {
  Surface surface(9, 7);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 9; ++x)
      surface.SetPixel(x, y, MakeColorRef(x, y, 99));
  }
  return surface;
}

bool SamePixels(const Surface& a, const Surface& b) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.Row(y)[x] != b.Row(y)[x]) {
        ADD_FAILURE() << "first difference at " << x << "," << y;
        return false;
      }
    }
  }
  return true;
}

std::unique_ptr<MapPicture> Open(const std::u16string& path) {
  std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(path);
  if (!file) return nullptr;
  std::string head(kBitmapHeadBytes, '\0');
  const std::size_t size = std::min<std::size_t>(head.size(), file->size());
  if (!file->ReadAt(0, head.data(), size)) return nullptr;
  head.resize(size);
  const std::optional<BitmapFileInfo> info = InspectBitmapFile(head, file->size());
  if (!info || !CanReadBitmapByRows(*info)) return nullptr;
  return OpenBitmapByRows(std::move(*file), *info);
}

// Bitmaps are lossless: whatever the layout and the rectangles, drawing the file by rows gives
// StretchBlt from the whole picture bit for bit, including the destination pixels left alone.
TEST(BitmapMapPicture, DrawsExactlyWhatStretchBltOfTheWholePictureDraws) {
  struct Layout {
    const char* name;
    BitmapSpec spec;
    COLORREF (*colourAt)(int, int);
  };
  const Layout layouts[] = {
      {"24 bits bottom-up", {kWidth, kHeight, 24, false}, ManyColours},
      {"24 bits top-down", {kWidth, kHeight, 24, true}, ManyColours},
      {"24 bits core header", {kWidth, kHeight, 24, false, 12}, ManyColours},
      {"32 bits bottom-up", {kWidth, kHeight, 32, false}, ManyColours},
      {"32 bits top-down, bit fields and alpha",
       {kWidth, kHeight, 32, true, 124, false, true},
       ManyColours},
      {"8 bits bottom-up", {kWidth, kHeight, 8, false}, FewColours},
      {"8 bits top-down", {kWidth, kHeight, 8, true}, FewColours},
  };
  struct Rect {
    int x, y, w, h, sx, sy, sw, sh;
  };
  const Rect rects[] = {
      {0, 0, 9, 7, 0, 0, kWidth, kHeight},            // the whole picture, shrunk
      {0, 0, 9, 7, 5, 4, 9, 7},                       // a part, one to one
      {0, 0, 9, 7, 3, 2, 4, 3},                       // a part, enlarged
      {0, 0, 9, 7, -6, -4, 20, 14},                   // past the left and top edges
      {0, 0, 9, 7, 15, 10, 16, 12},                   // past the right and bottom edges
      {0, 0, 9, 7, -3, -3, kWidth + 6, kHeight + 6},  // past every edge
      {0, 0, 9, 7, 30, 0, 10, 10},                    // wholly off the picture
      {-4, 3, 12, 9, 1, 1, 20, 15},                   // destination partly off its surface
      {2, 1, 5, 4, 7, 6, 1, 1},                       // one pixel blown up
  };
  test::TempFolder folder;
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    folder.Write("map.bmp", BuildBitmapFile(layout.spec, layout.colourAt));
    const std::unique_ptr<MapPicture> picture = Open(folder.U16() + u"\\map.bmp");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width(), kWidth);
    EXPECT_EQ(picture->height(), kHeight);
    const Surface whole = Picture(layout.colourAt);
    for (const Rect& r : rects) {
      SCOPED_TRACE(testing::Message()
                   << r.sw << "x" << r.sh << " at " << r.sx << "," << r.sy << " -> " << r.w << "x"
                   << r.h << " at " << r.x << "," << r.y);
      Surface expected = Background();
      StretchBlt(expected, r.x, r.y, r.w, r.h, whole, r.sx, r.sy, r.sw, r.sh);
      Surface actual = Background();
      EXPECT_TRUE(picture->StretchTo(actual, r.x, r.y, r.w, r.h, r.sx, r.sy, r.sw, r.sh));
      EXPECT_TRUE(SamePixels(actual, expected));
    }
  }
}

TEST(BitmapMapPicture, OnlyUncompressedCommonLayoutsAreReadByRows) {
  struct Case {
    const char* name;
    int bits;
    std::uint32_t compression;
    std::uint32_t red;
    bool byRows;
  };
  const Case cases[] = {
      {"8 bits", 8, 0, 0, true},
      {"24 bits", 24, 0, 0, true},
      {"32 bits", 32, 0, 0, true},
      {"32 bits, usual bit fields", 32, 3, 0x00FF0000u, true},
      {"32 bits, other bit fields", 32, 3, 0x0000FF00u, false},
      {"8 bits run-length", 8, 1, 0, false},
      {"16 bits", 16, 0, 0, false},
      {"4 bits", 4, 0, 0, false},
  };
  for (const Case& c : cases) {
    BitmapFileInfo info;
    info.bitsPerPixel = c.bits;
    info.compression = c.compression;
    info.redMask = c.red;
    info.greenMask = c.compression == 3 ? 0x0000FF00u : 0;
    info.blueMask = c.compression == 3 ? 0x000000FFu : 0;
    EXPECT_EQ(CanReadBitmapByRows(info), c.byRows) << c.name;
  }
}

// A file cut short after it was opened: drawing fails and leaves the destination rectangle
// black, and nothing outside it.
TEST(BitmapMapPicture, FileCutShortSinceOpeningDrawsBlack) {
  test::TempFolder folder;
  const std::string file = BuildBitmapFile({kWidth, kHeight, 24, false}, ManyColours);
  folder.Write("map.bmp", file);
  const std::unique_ptr<MapPicture> picture = Open(folder.U16() + u"\\map.bmp");
  ASSERT_NE(picture, nullptr);
  // Bottom-up: what remains are the bottom rows, so the top of the picture is missing.
  std::filesystem::resize_file(folder.path() / "map.bmp", file.size() / 2);
  Surface dst = Background();
  const Surface before = Background();
  EXPECT_FALSE(picture->StretchTo(dst, 1, 1, 5, 4, 0, 0, kWidth, kHeight));
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 9; ++x) {
      const bool inside = x >= 1 && x < 6 && y >= 1 && y < 5;
      EXPECT_EQ(dst.GetPixel(x, y), inside ? 0u : before.GetPixel(x, y)) << x << "," << y;
    }
  }
  // Rows still in the file are drawn as before.
  EXPECT_TRUE(picture->StretchTo(dst, 0, 0, 4, 2, 0, kHeight - 2, 4, 2));
  EXPECT_EQ(dst.GetPixel(3, 1), ManyColours(3, kHeight - 1));
}

}  // namespace
}  // namespace hw

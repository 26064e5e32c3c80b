#include "platform/blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/colorref.h"
#include "platform/surface.h"

namespace hw {
namespace {

using Pixels = std::vector<std::uint32_t>;

// Every pixel different, and different from every pixel of a surface with another seed.
Surface Pattern(int width, int height, std::uint32_t seed) {
  Surface surface(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      surface.Row(y)[x] = 0xFF000000u | seed << 16 | static_cast<std::uint32_t>(y) << 8 |
                          static_cast<std::uint32_t>(x);
    }
  }
  return surface;
}

Pixels Snapshot(const Surface& surface) {
  return Pixels(surface.pixels(), surface.pixels() + surface.width() * surface.height());
}

std::uint32_t At(const Pixels& pixels, int width, long long x, long long y) {
  return pixels[static_cast<std::size_t>(y * width + x)];
}

// Compares every pixel with expected(x, y); reports the first few differences only.
void ExpectPixels(const Surface& actual,
                  const std::function<std::uint32_t(int x, int y)>& expected) {
  int failures = 0;
  for (int y = 0; y < actual.height() && failures < 5; ++y) {
    for (int x = 0; x < actual.width() && failures < 5; ++x) {
      const std::uint32_t want = expected(x, y);
      if (actual.Row(y)[x] != want) {
        ++failures;
        ADD_FAILURE() << "pixel " << x << "," << y << ": got " << std::hex << actual.Row(y)[x]
                      << ", want " << want;
      }
    }
  }
}

// Nearest-pixel source index for destination offset i of n, as the blits define it.
long long Sample(long long s, long long m, long long i, long long n) {
  return s + ((2 * i + 1) * m) / (2 * n);
}

struct Rect6 {
  int x, y, w, h, sx, sy;
};

// Rectangles that poke past every edge of a 6 × 5 destination and a 4 × 3 source, miss them,
// are empty, or are big enough to overflow int edge arithmetic.
const Rect6 kCopyRects[] = {
    // Inside both.
    {1, 1, 3, 2, 0, 0},
    // Destination past its left, top, right and bottom edge.
    {-2, 1, 4, 2, 0, 0},
    {1, -2, 3, 4, 0, 0},
    {4, 1, 4, 2, 0, 0},
    {1, 3, 3, 4, 0, 0},
    // Source past its left, top, right and bottom edge.
    {0, 0, 4, 3, -1, 0},
    {0, 0, 4, 3, 0, -2},
    {0, 0, 4, 3, 2, 0},
    {0, 0, 4, 3, 0, 1},
    // Both past every edge.
    {-1, -1, 9, 9, -1, -1},
    // Entirely off one surface or the other.
    {6, 0, 2, 2, 0, 0},
    {0, 5, 2, 2, 0, 0},
    {-2, 0, 2, 2, 0, 0},
    {0, 0, 2, 2, 4, 0},
    {0, 0, 2, 2, 0, -2},
    // Empty.
    {0, 0, 0, 2, 0, 0},
    {0, 0, 2, -1, 0, 0},
    // Edges that overflow int.
    {INT_MIN, 0, INT_MAX, 3, 0, 0},
    {0, 0, INT_MAX, INT_MAX, 0, 0},
    {1, 1, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
    {INT_MAX, INT_MAX, 2, 2, 0, 0},
    {0, 0, 2, 2, INT_MAX, INT_MAX},
};

TEST(BitBltTest, CopiesOnlyWhereBothRectanglesAreOnTheirSurfaces) {
  // The 6-wide source exercises the whole-rows path, the 4-wide one the row-by-row path.
  for (const int src_width : {4, 6}) {
    for (const Rect6& r : kCopyRects) {
      SCOPED_TRACE(testing::Message()
                   << "src " << src_width << " wide, rect " << r.x << "," << r.y << " " << r.w
                   << "x" << r.h << " from " << r.sx << "," << r.sy);
      Surface dst = Pattern(6, 5, 1);
      const Surface src = Pattern(src_width, 3, 2);
      const Pixels before = Snapshot(dst);
      const Pixels source = Snapshot(src);
      BitBlt(dst, r.x, r.y, r.w, r.h, src, r.sx, r.sy);
      ExpectPixels(dst, [&](int x, int y) {
        const long long i = static_cast<long long>(x) - r.x;
        const long long j = static_cast<long long>(y) - r.y;
        const long long u = r.sx + i;
        const long long v = r.sy + j;
        const bool copied =
            i >= 0 && j >= 0 && i < r.w && j < r.h && u >= 0 && v >= 0 && u < src_width && v < 3;
        return copied ? At(source, src_width, u, v) : At(before, 6, x, y);
      });
    }
  }
}

TEST(BitBltTest, OverlappingCopyWithinOneSurfaceReadsTheOriginal) {
  struct Case {
    int x, y, w, h, sx, sy;
  };
  const Case cases[] = {
      {2, 1, 3, 3, 1, 1}, {0, 1, 3, 3, 1, 1}, {1, 2, 3, 3, 1, 1}, {1, 0, 3, 3, 1, 1},
      {2, 2, 3, 3, 1, 1}, {0, 0, 3, 3, 1, 1}, {2, 0, 3, 3, 1, 1}, {0, 2, 3, 3, 1, 1},
      {0, 1, 6, 4, 0, 0}, {0, 0, 6, 4, 0, 1},  // whole rows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "to " << c.x << "," << c.y << " from " << c.sx << "," << c.sy);
    Surface surface = Pattern(6, 5, 1);
    const Pixels before = Snapshot(surface);
    BitBlt(surface, c.x, c.y, c.w, c.h, surface, c.sx, c.sy);
    ExpectPixels(surface, [&](int x, int y) {
      const bool copied = x >= c.x && y >= c.y && x < c.x + c.w && y < c.y + c.h;
      return copied ? At(before, 6, x - c.x + c.sx, y - c.y + c.sy) : At(before, 6, x, y);
    });
  }
}

TEST(BlitTest, EmptySurfacesAreLeftAloneAndDrawNothing) {
  Surface moved_from = Pattern(4, 4, 3);
  Surface keeper = std::move(moved_from);
  const Surface no_pixels[] = {Surface(), Surface(0, 5)};
  Surface dst = Pattern(4, 4, 1);
  const Pixels before = Snapshot(dst);
  for (const Surface* src :
       {&no_pixels[0], &no_pixels[1], static_cast<const Surface*>(&moved_from)}) {
    BitBlt(dst, 0, 0, 4, 4, *src, 0, 0);
    TransparentBlt(dst, 0, 0, 4, 4, *src, 0, 0, 2, 2, kSpriteKey);
    AlphaBlend(dst, 0, 0, 4, 4, *src, 0, 0, 4, 4, 128);
    AlphaBlend(dst, 0, 0, 4, 4, *src, 0, 0, 2, 2, 128);
    // Drawing into a surface without pixels must not touch memory.
    BitBlt(moved_from, 0, 0, 4, 4, keeper, 0, 0);
    StretchBlt(moved_from, 0, 0, 4, 4, keeper, 0, 0, 2, 2);
    TransparentBlt(moved_from, 0, 0, 4, 4, keeper, 0, 0, 2, 2, kSpriteKey);
    AlphaBlend(moved_from, 0, 0, 4, 4, keeper, 0, 0, 2, 2, 128);
  }
  EXPECT_EQ(Snapshot(dst), before);
  // A source without pixels is all "outside the source", which StretchBlt paints black.
  StretchBlt(dst, 1, 1, 2, 2, moved_from, 0, 0, 4, 4);
  ExpectPixels(dst, [&](int x, int y) {
    return x >= 1 && x < 3 && y >= 1 && y < 3 ? 0xFF000000u : At(before, 4, x, y);
  });
}

// ---- StretchBlt ----

// The exact area average of `src` over the footprint of destination pixel (i, j), with
// pixels off the source counting as black, per channel (shift 0, 8 or 16).
double AreaAverage(const Surface& src, int sx, int sy, int sw, int sh, int w, int h, int i, int j,
                   int shift) {
  const double x0 = sx + static_cast<double>(i) * sw / w;
  const double x1 = sx + static_cast<double>(i + 1) * sw / w;
  const double y0 = sy + static_cast<double>(j) * sh / h;
  const double y1 = sy + static_cast<double>(j + 1) * sh / h;
  double sum = 0;
  for (int v = 0; v < src.height(); ++v) {
    const double dy = std::min<double>(y1, v + 1) - std::max<double>(y0, v);
    if (dy <= 0) continue;
    for (int u = 0; u < src.width(); ++u) {
      const double dx = std::min<double>(x1, u + 1) - std::max<double>(x0, u);
      if (dx <= 0) continue;
      sum += dx * dy * ((src.Row(v)[u] >> shift) & 0xFF);
    }
  }
  return sum / ((x1 - x0) * (y1 - y0));
}

// A source with smooth and sharp changes in every channel.
Surface Varied(int width, int height) {
  Surface surface(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      surface.SetPixel(
          x, y,
          MakeColorRef((x * 37 + y * 11) & 0xFF, (x * y * 13) & 0xFF, (x + y) % 2 == 0 ? 250 : 5));
    }
  }
  return surface;
}

TEST(StretchBltTest, MatchesTheExactAreaAverageWithinOneStep) {
  struct Case {
    int w, h, sx, sy, sw, sh;
  };
  // Shrinks and enlarges by integer and fractional factors, partly off the 37 × 9 source;
  // the wide ones span whole vector steps of the row sums.
  const Case cases[] = {
      {4, 3, 0, 0, 9, 7},
      {3, 2, 1, 2, 7, 5},
      {2, 2, 0, 0, 9, 7},
      {1, 1, 0, 0, 37, 9},
      {7, 5, 1, 1, 3, 2},
      {9, 7, 0, 0, 2, 3},
      {6, 6, 3, 2, 4, 4},
      {5, 4, -2, -1, 9, 7},
      {4, 4, 33, 4, 8, 6},
      {9, 2, 0, 0, 9, 7},
      {2, 9, 0, 0, 9, 7},
      {8, 5, 0, 0, 5, 5},
      {13, 4, 0, 0, 37, 9},
      {40, 5, 0, 0, 37, 9},
      {20, 11, 2, 1, 33, 7},
      {19, 3, -3, 0, 41, 9},
      // Exact integer enlargements (replicated), one reaching the source's far edges, and
      // one partly off the source (averaged as any other).
      {18, 14, 0, 0, 9, 7},
      {27, 6, 3, 1, 9, 3},
      {74, 18, 0, 0, 37, 9},
      {8, 8, -1, 0, 4, 4},
  };
  const Surface src = Varied(37, 9);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " at " << c.sx << "," << c.sy
                                    << " -> " << c.w << "x" << c.h);
    Surface dst(c.w, c.h);
    StretchBlt(dst, 0, 0, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh);
    int failures = 0;
    for (int j = 0; j < c.h; ++j) {
      for (int i = 0; i < c.w; ++i) {
        const std::uint32_t got = dst.Row(j)[i];
        EXPECT_EQ(got >> 24, 0xFFu);
        for (const int shift : {0, 8, 16}) {
          const double want = AreaAverage(src, c.sx, c.sy, c.sw, c.sh, c.w, c.h, i, j, shift);
          const double diff = std::abs(static_cast<double>((got >> shift) & 0xFF) - want);
          if (diff > 1.0 && failures++ < 5) {
            ADD_FAILURE() << "pixel " << i << "," << j << " shift " << shift << ": got "
                          << ((got >> shift) & 0xFF) << ", want " << want;
          }
        }
      }
    }
  }
}

TEST(StretchBltTest, SameSizeIsAnExactCopyWithBlackOffTheSource) {
  const Surface src = Pattern(4, 3, 2);
  const Pixels source = Snapshot(src);
  for (const Rect6& r : kCopyRects) {
    if (r.w <= 0 || r.h <= 0) continue;
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y << " " << r.w << "x" << r.h << " from "
                                    << r.sx << "," << r.sy);
    Surface dst = Pattern(6, 5, 1);
    const Pixels before = Snapshot(dst);
    StretchBlt(dst, r.x, r.y, r.w, r.h, src, r.sx, r.sy, r.w, r.h);
    ExpectPixels(dst, [&](int x, int y) {
      const long long i = static_cast<long long>(x) - r.x;
      const long long j = static_cast<long long>(y) - r.y;
      if (i < 0 || j < 0 || i >= r.w || j >= r.h) return At(before, 6, x, y);
      const long long u = r.sx + i;
      const long long v = r.sy + j;
      return u >= 0 && v >= 0 && u < 4 && v < 3 ? At(source, 4, u, v) : 0xFF000000u;
    });
  }
}

TEST(StretchBltTest, HalvingAveragesTwoByTwoBlocksRoundingHalfUp) {
  // Blocks whose channel sums leave every remainder mod 4: 0+0+0+1 -> 0.25 -> 0,
  // 0+0+1+1 -> 0.5 -> 1, 0+1+1+1 -> 0.75 -> 1, 255·4 -> 255, 10+20+30+41 -> 25.25 -> 25.
  const int values[5][4] = {
      {0, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 1, 1}, {255, 255, 255, 255}, {10, 20, 30, 41}};
  const int expected[5] = {0, 1, 1, 255, 25};
  Surface src(10, 2);
  for (int b = 0; b < 5; ++b) {
    const int* v = values[b];
    src.SetPixel(2 * b, 0, MakeColorRef(v[0], v[0], 255 - v[0]));
    src.SetPixel(2 * b + 1, 0, MakeColorRef(v[1], v[1], 255 - v[1]));
    src.SetPixel(2 * b, 1, MakeColorRef(v[2], v[2], 255 - v[2]));
    src.SetPixel(2 * b + 1, 1, MakeColorRef(v[3], v[3], 255 - v[3]));
  }
  Surface dst(5, 1);
  StretchBlt(dst, 0, 0, 5, 1, src, 0, 0, 10, 2);
  for (int b = 0; b < 5; ++b) {
    // Blue is 255 − v, whose block average rounds the other way at the halfway point.
    const int sum = values[b][0] + values[b][1] + values[b][2] + values[b][3];
    const int blue = (4 * 255 - sum + 2) / 4;
    EXPECT_EQ(dst.GetPixel(b, 0), MakeColorRef(expected[b], expected[b], blue)) << b;
  }
}

TEST(StretchBltTest, EnlargingSharesPixelsStraddlingASourceEdge) {
  Surface src(2, 1);
  src.SetPixel(0, 0, MakeColorRef(0, 0, 0));
  src.SetPixel(1, 0, MakeColorRef(255, 255, 255));
  Surface dst(3, 1);
  StretchBlt(dst, 0, 0, 3, 1, src, 0, 0, 2, 1);
  // Footprints [0, 2/3), [2/3, 4/3), [4/3, 2): the middle one is half of each pixel.
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  EXPECT_EQ(dst.GetPixel(1, 0), MakeColorRef(128, 128, 128));
  EXPECT_EQ(dst.GetPixel(2, 0), MakeColorRef(255, 255, 255));
}

TEST(StretchBltTest, UniformAreaKeepsItsExactColourAtAnyScale) {
  // Per-axis weights must sum to exactly one, or a flat colour drifts by rounding.
  const COLORREF colour = MakeColorRef(201, 77, 3);
  Surface src(11, 13);
  src.Fill(colour);
  const int sizes[][2] = {{1, 1}, {3, 4}, {7, 5}, {10, 12}, {12, 14}, {29, 31}, {11, 2}};
  for (const auto& size : sizes) {
    Surface dst(size[0], size[1]);
    StretchBlt(dst, 0, 0, size[0], size[1], src, 0, 0, 11, 13);
    ExpectPixels(dst, [&](int, int) { return PixelFromColorRef(colour); });
  }
}

TEST(StretchBltTest, FootprintsOffTheSourceAreBlack) {
  Surface src(4, 4);
  src.Fill(kWhite);
  Surface dst(3, 2);
  dst.Fill(MakeColorRef(1, 2, 3));
  // Halving a source rectangle 6 wide starting at x 2: [2, 4) on the source, [4, 8) off it.
  StretchBlt(dst, 0, 0, 3, 2, src, 2, 0, 6, 4);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(dst.GetPixel(0, y), kWhite);
    EXPECT_EQ(dst.GetPixel(1, y), 0u);
    EXPECT_EQ(dst.GetPixel(2, y), 0u);
  }
}

TEST(StretchBltTest, ClippedDestinationKeepsEveryPixelWhereItWouldBe) {
  // Drawing at an offset into a small surface must give exactly the window of the same draw
  // into a surface big enough to hold it all.
  const Surface src = Varied(9, 7);
  struct Case {
    int x, y, w, h;
  };
  const Case cases[] = {{-3, -2, 7, 5}, {2, 1, 7, 5},     {-5, 2, 13, 3},
                        {1, -4, 3, 11}, {-3, -2, 16, 12}, {2, 1, 24, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
    Surface whole(c.w, c.h);
    StretchBlt(whole, 0, 0, c.w, c.h, src, 1, 1, 8, 6);
    Surface window = Pattern(4, 3, 5);
    const Pixels before = Snapshot(window);
    StretchBlt(window, c.x, c.y, c.w, c.h, src, 1, 1, 8, 6);
    ExpectPixels(window, [&](int x, int y) {
      const int i = x - c.x;
      const int j = y - c.y;
      return i >= 0 && j >= 0 && i < c.w && j < c.h ? whole.Row(j)[i] : At(before, 4, x, y);
    });
  }
}

// ---- StretchFromRows ----

// Serves the rows of a held picture and checks the order the stretch reads them in.
class SurfaceRows final : public RowSource {
 public:
  explicit SurfaceRows(const Surface& held, int failAtRow = -1)
      : held_(held), failAtRow_(failAtRow) {}

  bool Begin(const HeldRegion& r) override {
    EXPECT_EQ(begun, 0) << "Begin twice";
    ++begun;
    region = r;
    EXPECT_TRUE(0 <= r.firstColumn && r.firstColumn < r.endColumn && r.endColumn <= held_.width());
    EXPECT_TRUE(0 <= r.firstRow && r.firstRow < r.endRow && r.endRow <= held_.height());
    next = r.firstRow;
    return failAtRow_ != -2;
  }
  bool ReadRow(int row, std::uint32_t* pixels) override {
    EXPECT_EQ(row, next) << "rows out of order";
    EXPECT_LT(row, region.endRow);
    next = row + 1;
    if (row == failAtRow_) return false;
    std::copy(held_.Row(row) + region.firstColumn, held_.Row(row) + region.endColumn, pixels);
    return true;
  }

  int begun = 0;
  HeldRegion region;
  int next = 0;

 private:
  const Surface& held_;
  int failAtRow_;
};

struct StretchCase {
  int x, y, w, h, sx, sy, sw, sh;
};

// Shrinks and enlargements, rectangles past every edge of the 37 × 9 picture and of the 8 × 6
// destination, wholly off the picture, and edges that overflow int.
const StretchCase kStretchCases[] = {
    {0, 0, 8, 6, 0, 0, 37, 9},
    {0, 0, 8, 6, 3, 1, 5, 4},
    {0, 0, 8, 6, 5, 2, 8, 6},
    {1, 1, 5, 3, -4, -2, 20, 9},
    {0, 0, 8, 6, 30, 5, 13, 7},
    {-3, -2, 12, 9, 2, 1, 30, 7},
    {2, 1, 3, 2, 0, 0, 37, 9},
    {0, 0, 8, 6, -20, 0, 10, 9},
    {0, 0, 8, 6, 0, 9, 37, 9},
    {0, 0, 7, 5, 1, 1, 7, 5},
    {0, 0, 8, 6, -1, -1, 39, 11},
    {INT_MIN, 0, INT_MAX, 6, 0, 0, 37, 9},
    {0, 0, 8, 6, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
    {0, 0, 8, 6, 0, 0, INT_MAX, 9},
};

TEST(StretchFromRowsTest, AtScaleOneIsStretchBltBitForBit) {
  const Surface picture = Varied(37, 9);
  for (const StretchCase& c : kStretchCases) {
    SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " at " << c.sx << "," << c.sy
                                    << " -> " << c.w << "x" << c.h << " at " << c.x << "," << c.y);
    Surface expected = Pattern(8, 6, 1);
    StretchBlt(expected, c.x, c.y, c.w, c.h, picture, c.sx, c.sy, c.sw, c.sh);
    Surface actual = Pattern(8, 6, 1);
    SurfaceRows rows(picture);
    EXPECT_TRUE(
        StretchFromRows(actual, c.x, c.y, c.w, c.h, {37, 9, 1}, c.sx, c.sy, c.sw, c.sh, rows));
    EXPECT_EQ(Snapshot(actual), Snapshot(expected));
    if (rows.begun != 0) {
      EXPECT_EQ(rows.next, rows.region.endRow) << "rows left unread";
    }
  }
}

// A picture made of scale × scale blocks of one colour each (the last row and column of blocks
// cut short) held at one pixel per block: stretching the held picture must give the area
// average of the whole picture, so a footprint shifted by even a fraction of a held pixel shows.
TEST(StretchFromRowsTest, HeldAtASmallerScaleAveragesTheSameFootprints) {
  constexpr int kWidth = 75;  // a whole number of blocks at no scale
  constexpr int kHeight = 21;
  const StretchCase cases[] = {
      {0, 0, 8, 6, 0, 0, 75, 21},   {0, 0, 8, 6, 3, 1, 29, 13},  {0, 0, 8, 6, -9, -5, 40, 20},
      {0, 0, 8, 6, 50, 10, 40, 15}, {0, 0, 5, 4, 7, 3, 27, 11},  {0, 0, 8, 6, 30, 5, 9, 7},
      {0, 0, 3, 2, -1, 0, 77, 22},  {0, 0, 9, 7, 13, 2, 62, 17},
  };
  for (const int scale : {2, 4, 8}) {
    const Surface held = Varied((kWidth + scale - 1) / scale, (kHeight + scale - 1) / scale);
    Surface picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x)
        picture.Row(y)[x] = held.Row(y / scale)[x / scale];
    }
    for (const StretchCase& c : cases) {
      SCOPED_TRACE(testing::Message() << "scale " << scale << ": " << c.sw << "x" << c.sh << " at "
                                      << c.sx << "," << c.sy << " -> " << c.w << "x" << c.h);
      Surface dst(c.w, c.h);
      SurfaceRows rows(held);
      ASSERT_TRUE(StretchFromRows(dst, 0, 0, c.w, c.h, {kWidth, kHeight, scale}, c.sx, c.sy, c.sw,
                                  c.sh, rows));
      int failures = 0;
      for (int j = 0; j < c.h; ++j) {
        for (int i = 0; i < c.w; ++i) {
          for (const int shift : {0, 8, 16}) {
            const double want = AreaAverage(picture, c.sx, c.sy, c.sw, c.sh, c.w, c.h, i, j, shift);
            const double got = (dst.Row(j)[i] >> shift) & 0xFF;
            if (std::abs(got - want) > 1.0 && failures++ < 5) {
              ADD_FAILURE() << "pixel " << i << "," << j << " shift " << shift << ": got " << got
                            << ", want " << want;
            }
          }
        }
      }
    }
  }
}

// Rectangles at the ends of int at every scale: the footprint arithmetic must stay within 64
// bits (the sanitizer builds check) and every read within the held picture (SurfaceRows).
TEST(StretchFromRowsTest, ExtremeRectanglesAtAnyScaleStayInRange) {
  for (const int scale : {1, 8, kMaxHeldScale}) {
    const Surface held = Varied((37 + scale - 1) / scale, (9 + scale - 1) / scale);
    for (const StretchCase& c : kStretchCases) {
      Surface dst(8, 6);
      SurfaceRows rows(held);
      EXPECT_TRUE(
          StretchFromRows(dst, c.x, c.y, c.w, c.h, {37, 9, scale}, c.sx, c.sy, c.sw, c.sh, rows));
    }
  }
}

TEST(StretchFromRowsTest, ReadsOnlyTheHeldPixelsItDraws) {
  struct Case {
    int x, y, w, h, sx, sy, sw, sh, scale;
    HeldRegion region;  // all 0: nothing read
  };
  const Case cases[] = {
      // Halving 8 × 6 picture pixels at (10, 5): exactly those.
      {0, 0, 4, 3, 10, 5, 8, 6, 1, {10, 18, 5, 11}},
      // Held at 1/4: picture pixels 10..17 and 5..10 lie in held pixels 2..4 and 1..2.
      {0, 0, 2, 1, 10, 5, 8, 6, 4, {2, 5, 1, 3}},
      // Partly left of and above the picture.
      {0, 0, 4, 3, -4, -2, 8, 6, 1, {0, 4, 0, 4}},
      // A destination cut to its right half and bottom row reads only their footprints.
      {-4, -1, 8, 2, 0, 0, 16, 4, 1, {8, 16, 2, 4}},
      // Wholly right of or below the picture, or drawn wholly off the destination.
      {0, 0, 4, 3, 40, 0, 8, 6, 1, {}},
      {0, 0, 4, 3, 0, 30, 8, 6, 1, {}},
      {8, 0, 4, 3, 0, 0, 8, 6, 1, {}},
  };
  const Surface picture = Varied(40, 30);
  const Surface quarter = Varied(10, 8);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sx << "," << c.sy << " scale " << c.scale);
    Surface dst = Pattern(8, 6, 1);
    SurfaceRows rows(c.scale == 1 ? picture : quarter);
    EXPECT_TRUE(
        StretchFromRows(dst, c.x, c.y, c.w, c.h, {40, 30, c.scale}, c.sx, c.sy, c.sw, c.sh, rows));
    const HeldRegion& want = c.region;
    if (want.endColumn == 0) {
      EXPECT_EQ(rows.begun, 0);
      // Whatever lies on the destination is black.
      for (int y = std::max(c.y, 0); y < std::min(c.y + c.h, 6); ++y) {
        for (int x = std::max(c.x, 0); x < std::min(c.x + c.w, 8); ++x)
          EXPECT_EQ(dst.GetPixel(x, y), 0u);
      }
      continue;
    }
    EXPECT_EQ(rows.region.firstColumn, want.firstColumn);
    EXPECT_EQ(rows.region.endColumn, want.endColumn);
    EXPECT_EQ(rows.region.firstRow, want.firstRow);
    EXPECT_EQ(rows.region.endRow, want.endRow);
  }
}

TEST(StretchFromRowsTest, StopsWhenTheSourceFailsOrTheScaleIsUnusable) {
  const Surface picture = Varied(20, 10);
  for (const int failAt : {-2, 0, 5}) {
    SCOPED_TRACE(failAt);
    Surface dst(5, 5);
    SurfaceRows rows(picture, failAt);
    EXPECT_FALSE(StretchFromRows(dst, 0, 0, 5, 5, {20, 10, 1}, 0, 0, 20, 10, rows));
    EXPECT_EQ(rows.next, failAt == -2 ? 0 : failAt + 1);
  }
  // Scales whose arithmetic would not fit are refused before anything is read.
  for (const int scale : {0, -2, kMaxHeldScale + 1}) {
    Surface dst(5, 5);
    SurfaceRows rows(picture);
    EXPECT_FALSE(StretchFromRows(dst, 0, 0, 5, 5, {20, 10, scale}, 0, 0, 20, 10, rows));
    EXPECT_EQ(rows.begun, 0);
  }
}

// ---- TransparentBlt ----

TEST(TransparentBltTest, ScalesByNearestPixelAndKeepsKeyAreasUntouched) {
  constexpr COLORREF kA = MakeColorRef(10, 20, 30);
  constexpr COLORREF kB = MakeColorRef(40, 50, 60);
  constexpr COLORREF kC = MakeColorRef(70, 80, 90);
  Surface src(2, 2);
  src.SetPixel(0, 0, kA);
  src.SetPixel(1, 0, kSpriteKey);
  src.SetPixel(0, 1, kSpriteKey);
  src.SetPixel(1, 1, kB);
  Surface dst(4, 4);
  dst.Fill(kC);
  TransparentBlt(dst, 0, 0, 4, 4, src, 0, 0, 2, 2, kSpriteKey);
  const COLORREF want[4][4] = {
      {kA, kA, kC, kC}, {kA, kA, kC, kC}, {kC, kC, kB, kB}, {kC, kC, kB, kB}};
  ExpectPixels(dst, [&](int x, int y) { return PixelFromColorRef(want[y][x]); });
}

TEST(TransparentBltTest, SamplesTheSourcePixelUnderEachDestinationCentre) {
  const Surface src = Pattern(3, 1, 2);
  struct Case {
    int w, sw;
    std::vector<int> columns;
  };
  const Case cases[] = {{2, 3, {0, 2}}, {5, 2, {0, 0, 1, 1, 1}}, {1, 3, {1}}, {3, 3, {0, 1, 2}}};
  for (const Case& c : cases) {
    Surface dst(c.w, 1);
    TransparentBlt(dst, 0, 0, c.w, 1, src, 0, 0, c.sw, 1, kSpriteKey);
    for (int i = 0; i < c.w; ++i) {
      EXPECT_EQ(dst.Row(0)[i], src.Row(0)[c.columns[static_cast<std::size_t>(i)]])
          << c.sw << " -> " << c.w << " at " << i;
    }
  }
}

TEST(TransparentBltTest, KeyComparesColourOnlyAndResultIsOpaque) {
  // 37 pixels: whole vector steps and a tail. Every third pixel is the key with some alpha
  // byte, every third another colour with alpha byte 0, every third the opaque key.
  constexpr int kW = 37;
  const std::uint32_t key_rgb = PixelFromColorRef(kSpriteKey) & 0x00FFFFFFu;
  Surface src(kW, 1);
  for (int x = 0; x < kW; ++x) {
    const auto n = static_cast<std::uint32_t>(x);
    const std::uint32_t pixels[3] = {key_rgb | n << 26, 0x00102030u + n, 0xFF000000u | key_rgb};
    src.Row(0)[x] = pixels[x % 3];
  }
  Surface dst(kW, 1);
  dst.Fill(kWhite);
  TransparentBlt(dst, 0, 0, kW, 1, src, 0, 0, kW, 1, kSpriteKey);
  ExpectPixels(dst, [&](int x, int) {
    return x % 3 == 1 ? 0xFF102030u + static_cast<std::uint32_t>(x) : 0xFFFFFFFFu;
  });
}

TEST(TransparentBltTest, ClipsAgainstBothSurfacesWhileScaling) {
  struct Case {
    int x, y, w, h, sx, sy, sw, sh;
  };
  const Case cases[] = {
      {-3, -2, 8, 6, 0, 0, 4, 3},
      {3, 2, 8, 6, 0, 0, 4, 3},
      {0, 0, 6, 5, -2, -1, 4, 3},
      {0, 0, 6, 5, 2, 1, 4, 3},
      {-1, 1, 3, 2, -1, 0, 6, 3},
      {0, 0, 2, 2, 4, 0, 2, 2},
      {1, 1, 4, 3, 0, 0, 4, 3},
      {0, 0, 6, 5, 0, 0, 0, 3},
      {INT_MIN, 0, INT_MAX, 5, 0, 0, 4, 3},
      {0, 0, 6, 5, INT_MIN, 0, INT_MAX, 3},
  };
  Surface src = Pattern(4, 3, 2);
  src.SetPixel(1, 1, kSpriteKey);
  src.SetPixel(3, 0, kSpriteKey);
  const Pixels source = Snapshot(src);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h << " from "
                                    << c.sx << "," << c.sy << " " << c.sw << "x" << c.sh);
    Surface dst = Pattern(6, 5, 1);
    const Pixels before = Snapshot(dst);
    TransparentBlt(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh, kSpriteKey);
    ExpectPixels(dst, [&](int x, int y) {
      const long long i = static_cast<long long>(x) - c.x;
      const long long j = static_cast<long long>(y) - c.y;
      if (c.sw <= 0 || c.sh <= 0 || i < 0 || j < 0 || i >= c.w || j >= c.h) {
        return At(before, 6, x, y);
      }
      const long long u = Sample(c.sx, c.sw, i, c.w);
      const long long v = Sample(c.sy, c.sh, j, c.h);
      if (u < 0 || v < 0 || u >= 4 || v >= 3) return At(before, 6, x, y);
      const std::uint32_t pixel = At(source, 4, u, v);
      return pixel == PixelFromColorRef(kSpriteKey) ? At(before, 6, x, y) : pixel;
    });
  }
}

// ---- AlphaBlend ----

int ExactBlend(int s, int d, int a) {
  // round((s·a + d·(255 − a)) / 255); the quotient is never exactly halfway.
  return static_cast<int>(std::lround((s * a + d * (255 - a)) / 255.0));
}

TEST(AlphaBlendTest, EveryChannelValueBlendsWithExactRounding) {
  // 259 columns: a row is not a whole number of vector steps, so the tail is covered too.
  constexpr int kW = 259;
  constexpr int kH = 256;
  Surface src(kW, kH);
  Surface original(kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      src.SetPixel(x, y, MakeColorRef(x & 0xFF, y, 255 - (x & 0xFF)));
      original.SetPixel(x, y, MakeColorRef(y, x & 0xFF, (x + y) & 0xFF));
    }
  }
  // Only the low 8 bits of alpha count: 0x180 is 128 and -1 is 255.
  const int alphas[][2] = {{0, 0},     {1, 1},     {127, 127},   {128, 128},
                           {254, 254}, {255, 255}, {0x180, 128}, {-1, 255}};
  for (const auto& alpha : alphas) {
    SCOPED_TRACE(testing::Message() << "alpha " << alpha[0]);
    Surface dst(kW, kH);
    BitBlt(dst, 0, 0, kW, kH, original, 0, 0);
    AlphaBlend(dst, 0, 0, kW, kH, src, 0, 0, kW, kH, alpha[0]);
    const int a = alpha[1];
    ExpectPixels(dst, [&](int x, int y) {
      const std::uint32_t s = src.Row(y)[x];
      const std::uint32_t d = original.Row(y)[x];
      std::uint32_t want = 0xFF000000u;
      for (const int shift : {0, 8, 16}) {
        want |= static_cast<std::uint32_t>(ExactBlend((s >> shift) & 0xFF, (d >> shift) & 0xFF, a))
                << shift;
      }
      return want;
    });
  }
}

TEST(AlphaBlendTest, HalfAlphaGivesKnownValuesAndAnOpaqueResult) {
  Surface src(1, 1);
  src.SetPixel(0, 0, MakeColorRef(200, 0, 255));
  Surface dst(1, 1);
  dst.Row(0)[0] = 0x00640000u | 0xFF;  // R 100, G 0, B 255, alpha byte 0
  AlphaBlend(dst, 0, 0, 1, 1, src, 0, 0, 1, 1, 128);
  // R: (200·128 + 100·127) / 255 = 150.2; G stays 0; B stays 255.
  EXPECT_EQ(dst.Row(0)[0], 0xFF9600FFu);
}

TEST(AlphaBlendTest, ClipsAndScalesByNearestPixel) {
  struct Case {
    int x, y, w, h, sx, sy, sw, sh;
  };
  const Case cases[] = {
      {1, 1, 3, 2, 0, 0, 3, 2},
      {-2, -1, 4, 3, 0, 0, 4, 3},
      {3, 3, 4, 3, 0, 0, 4, 3},
      {0, 0, 4, 3, -1, -1, 4, 3},
      {0, 0, 4, 3, 2, 1, 4, 3},
      {0, 0, 6, 5, 0, 0, 3, 2},
      {-1, -1, 8, 7, 0, 0, 4, 3},
      {0, 0, 3, 2, 0, 0, 4, 3},
      {1, 0, 5, 5, -2, 1, 4, 3},
      {0, 0, 6, 5, 0, 0, 4, -3},
      {INT_MIN, 0, INT_MAX, 5, 0, 0, 4, 3},
      {0, 0, 6, 5, INT_MIN, 0, INT_MAX, 3},
  };
  const Surface src = Pattern(4, 3, 0x80);
  const Pixels source = Snapshot(src);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h << " from "
                                    << c.sx << "," << c.sy << " " << c.sw << "x" << c.sh);
    Surface dst = Pattern(6, 5, 0x10);
    const Pixels before = Snapshot(dst);
    AlphaBlend(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh, 255);
    ExpectPixels(dst, [&](int x, int y) {
      const long long i = static_cast<long long>(x) - c.x;
      const long long j = static_cast<long long>(y) - c.y;
      if (c.sw <= 0 || c.sh <= 0 || i < 0 || j < 0 || i >= c.w || j >= c.h) {
        return At(before, 6, x, y);
      }
      const long long u = Sample(c.sx, c.sw, i, c.w);
      const long long v = Sample(c.sy, c.sh, j, c.h);
      return u >= 0 && v >= 0 && u < 4 && v < 3 ? At(source, 4, u, v) : At(before, 6, x, y);
    });
  }
}

// ---- All scaling blits within one surface ----

TEST(BlitTest, ScalingBlitsWithinOneSurfaceReadTheOriginal) {
  using Draw = std::function<void(Surface & dst, const Surface& src)>;
  const Draw draws[] = {
      [](Surface& d, const Surface& s) { StretchBlt(d, 1, 1, 5, 4, s, 0, 0, 4, 3); },
      [](Surface& d, const Surface& s) { StretchBlt(d, 0, 0, 3, 3, s, 1, 1, 5, 4); },
      [](Surface& d, const Surface& s) { StretchBlt(d, 1, 0, 4, 3, s, 0, 1, 4, 3); },
      [](Surface& d, const Surface& s) { StretchBlt(d, 0, 0, 4, 4, s, -2, 2, 6, 6); },
      [](Surface& d, const Surface& s) {
        TransparentBlt(d, 1, 1, 5, 4, s, 0, 0, 3, 3, MakeColorRef(1, 1, 1));
      },
      [](Surface& d, const Surface& s) { AlphaBlend(d, 1, 1, 4, 3, s, 0, 0, 4, 3, 100); },
      [](Surface& d, const Surface& s) { AlphaBlend(d, 0, 0, 4, 3, s, 1, 1, 4, 3, 200); },
      [](Surface& d, const Surface& s) { AlphaBlend(d, 0, 0, 5, 5, s, 1, 1, 3, 2, 128); },
  };
  int index = 0;
  for (const Draw& draw : draws) {
    SCOPED_TRACE(testing::Message() << "draw " << index++);
    Surface in_place = Pattern(6, 5, 1);
    const Surface copy = Pattern(6, 5, 1);
    Surface separate = Pattern(6, 5, 1);
    draw(in_place, in_place);
    draw(separate, copy);
    EXPECT_EQ(Snapshot(in_place), Snapshot(separate));
  }
}

}  // namespace
}  // namespace hw

namespace hw {
namespace {

// A clipped stretch writes exactly the whole stretch's pixels inside the clip and nothing
// outside it, for shrinking, enlarging and 1:1, with the source partly off its surface.
TEST(StretchBltClip, PartsEqualTheWholeStretch) {
  Surface src(97, 61);
  for (int y = 0; y < src.height(); ++y) {
    for (int x = 0; x < src.width(); ++x)
      src.SetPixel(x, y, MakeColorRef(x * 7 % 256, y * 11 % 256, (x * y) % 256));
  }
  struct Case {
    int w, h, sx, sy, sw, sh;
  };
  const Rect clips[] = {{5, 7, 23, 19}, {-4, -4, 3, 50}, {30, 0, 200, 2}, {0, 0, 0, 0}};
  for (const Case& c :
       {Case{40, 25, 3, -2, 97, 61}, Case{120, 90, -10, 4, 60, 40}, Case{50, 30, 10, 10, 50, 30}}) {
    Surface whole(130, 100);
    whole.Fill(kWhite);
    StretchBlt(whole, 2, 3, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh);
    for (const Rect& clip : clips) {
      Surface part(130, 100);
      part.Fill(kWhite);
      StretchBlt(part, 2, 3, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh, clip);
      for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < part.width(); ++x) {
          const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
          ASSERT_EQ(part.GetPixel(x, y), inside ? whole.GetPixel(x, y) : kWhite)
              << c.w << "x" << c.h << " at " << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace hw

namespace hw {
namespace {

// Blending within one surface reads the source as it was before the blend, whether the two
// rectangles overlap (the source is copied first) or not (the pages of the canvas, blended in
// place).
TEST(AlphaBlendTest, WithinOneSurfaceReadsTheOriginal) {
  const auto pattern = [](Surface& s) {
    for (int y = 0; y < s.height(); ++y) {
      for (int x = 0; x < s.width(); ++x)
        s.SetPixel(x, y, MakeColorRef(x * 9, y * 13, 200 - x));
    }
  };
  struct Case {
    int x, y, sx, sy;
  };
  for (const Case& c : {Case{12, 0, 0, 0}, Case{3, 2, 0, 0}, Case{0, 0, 2, 1}}) {
    Surface one(24, 8);
    pattern(one);
    Surface original(24, 8);
    pattern(original);
    Surface expected(24, 8);
    pattern(expected);
    AlphaBlend(expected, c.x, c.y, 10, 5, original, c.sx, c.sy, 10, 5, 100);
    AlphaBlend(one, c.x, c.y, 10, 5, one, c.sx, c.sy, 10, 5, 100);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 24; ++x)
        ASSERT_EQ(one.GetPixel(x, y), expected.GetPixel(x, y)) << c.x << " " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace hw

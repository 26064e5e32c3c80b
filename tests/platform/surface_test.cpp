#include "platform/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "platform/colorref.h"

namespace hw {
namespace {

constexpr COLORREF kRed = MakeColorRef(0xFF, 0, 0);
constexpr COLORREF kGreenish = MakeColorRef(0x12, 0x34, 0x56);

TEST(SurfaceTest, NewSurfaceIsOpaqueBlack) {
  Surface surface(3, 2);
  ASSERT_FALSE(surface.empty());
  EXPECT_EQ(surface.width(), 3);
  EXPECT_EQ(surface.height(), 2);
  EXPECT_EQ(surface.pitch(), 3);
  EXPECT_EQ(surface.ByteCount(), 3u * 2u * 4u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(surface.pixels()[i], 0xFF000000u) << i;
  }
}

TEST(SurfaceTest, UnusableSizesGiveEmptySurface) {
  struct Case {
    int width;
    int height;
  };
  const Case cases[] = {{0, 4}, {4, 0}, {-1, 4}, {4, -1}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Surface surface(c.width, c.height);
    EXPECT_TRUE(surface.empty());
    EXPECT_EQ(surface.width(), 0);
    EXPECT_EQ(surface.height(), 0);
    EXPECT_EQ(surface.ByteCount(), 0u);
    // Drawing on an empty surface is harmless.
    surface.Fill(kRed);
    surface.FillRect(0, 0, 4, 4, kRed);
    surface.SetPixel(0, 0, kRed);
    EXPECT_EQ(surface.GetPixel(0, 0), 0u);
  }
}

TEST(SurfaceTest, MovedFromSurfaceHasNoPixelsToTouch) {
  Surface original(4, 4);
  original.Fill(kRed);
  Surface moved = std::move(original);
  EXPECT_EQ(moved.GetPixel(3, 3), kRed);
  // A moved-from surface is empty: no size, no pixels.
  EXPECT_TRUE(original.empty());
  EXPECT_EQ(original.width(), 0);
  EXPECT_EQ(original.height(), 0);
  EXPECT_EQ(original.GetPixel(0, 0), 0u);
  original.SetPixel(0, 0, kRed);
  original.Fill(kRed);
  original.FillRect(0, 0, 4, 4, kRed);
}

TEST(SurfaceTest, ColorRefIsStoredAsOpaqueXrgb) {
  Surface surface(2, 2);
  surface.SetPixel(1, 0, kGreenish);
  // COLORREF 0x00BBGGRR becomes the word 0xFFRRGGBB, and reads back unchanged.
  EXPECT_EQ(surface.Row(0)[1], 0xFF123456u);
  EXPECT_EQ(surface.GetPixel(1, 0), kGreenish);
}

TEST(SurfaceTest, PixelAccessOutsideIsIgnored) {
  Surface surface(3, 2);
  const int coords[][2] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, 0}, {0, INT_MAX}};
  for (const auto& xy : coords) {
    surface.SetPixel(xy[0], xy[1], kRed);
    EXPECT_EQ(surface.GetPixel(xy[0], xy[1]), 0u) << xy[0] << "," << xy[1];
  }
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(surface.pixels()[i], 0xFF000000u) << i;
  }
  surface.SetPixel(2, 1, kRed);
  EXPECT_EQ(surface.GetPixel(2, 1), kRed);
}

TEST(SurfaceTest, FillRectClipsToSurface) {
  struct Case {
    int x, y, w, h;
  };
  const Case cases[] = {
      {1, 1, 2, 2},
      {-2, -2, 4, 4},
      {3, 2, 10, 10},
      {-5, 1, 100, 1},
      {0, 0, 0, 5},
      {0, 0, 5, -1},
      {5, 0, 3, 3},
      {0, -3, 3, 3},
      {INT_MAX, 0, 5, 5},
      {INT_MIN, 0, INT_MAX, 5},
      {1, 1, INT_MAX, INT_MAX},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
  };
  constexpr int kW = 5;
  constexpr int kH = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
    Surface surface(kW, kH);
    surface.FillRect(c.x, c.y, c.w, c.h, kRed);
    for (int py = 0; py < kH; ++py) {
      for (int px = 0; px < kW; ++px) {
        const bool inside = c.w > 0 && c.h > 0 && px >= c.x && py >= c.y &&
                            px - static_cast<long long>(c.x) < c.w &&
                            py - static_cast<long long>(c.y) < c.h;
        EXPECT_EQ(surface.GetPixel(px, py), inside ? kRed : 0u) << px << "," << py;
      }
    }
  }
}

TEST(SurfaceTest, FillCoversEveryPixel) {
  Surface surface(3, 3);
  surface.Fill(kGreenish);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(surface.pixels()[i], PixelFromColorRef(kGreenish));
  }
}

}  // namespace
}  // namespace hw

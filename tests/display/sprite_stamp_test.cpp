#include "display/sprite_stamp.h"

#include <gtest/gtest.h>

#include "display/layer_surfaces.h"

namespace hw {
namespace {

constexpr COLORREF kGround = MakeColorRef(0, 0, 200);
constexpr COLORREF kInk = MakeColorRef(200, 100, 0);

// A 4-page canvas and blend surface in a ground colour, and a 4 × 2 sprite: left half ink,
// right half the blue key.
struct Stamp {
  Stamp() {
    canvas.Fill(kGround);
    sprite.Fill(kSpriteKey);
    sprite.FillRect(0, 0, 2, 2, kInk);
  }
  COLORREF At(int page, int x, int y) const { return canvas.GetPixel(PageX(page) + x, y); }

  Surface canvas{4 * kPageWidth, 40};
  Surface blend{4 * kPageWidth, 40};
  Surface sprite{4, 2};
};

TEST(StampSprite, StretchesTheSpriteKeepingItsKeyOnEveryPage) {
  Stamp s;
  StampSprite(s.canvas, s.blend, {10, 5, 18, 9}, s.sprite, {0, 0, 4, 2}, 255);
  for (int page = 0; page < 4; ++page) {
    SCOPED_TRACE(page);
    EXPECT_EQ(s.At(page, 10, 5), kInk);
    EXPECT_EQ(s.At(page, 13, 8), kInk);
    EXPECT_EQ(s.At(page, 14, 5), kGround);  // stretched key pixels stay transparent
    EXPECT_EQ(s.At(page, 17, 8), kGround);
    EXPECT_EQ(s.At(page, 18, 5), kGround);  // right edge exclusive
  }
}

TEST(StampSprite, AlphaBlendsWithTheGroundAndZeroChangesNothing) {
  Stamp s;
  StampSprite(s.canvas, s.blend, {0, 0, 4, 2}, s.sprite, {0, 0, 4, 2}, 0);
  EXPECT_EQ(s.At(0, 0, 0), kGround);
  StampSprite(s.canvas, s.blend, {0, 0, 4, 2}, s.sprite, {0, 0, 4, 2}, 128 + 256);
  // The low 8 bits: about half of ink over ground.
  const COLORREF mixed = s.At(3, 0, 0);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 100, 1);
  EXPECT_NEAR(static_cast<int>((mixed >> 8) & 0xFF), 50, 1);
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 100, 1);
  EXPECT_EQ(s.At(3, 3, 0), kGround);
}

// In the overlay form a translucent box lies over black where the key colour was, so that it
// keeps its own colours; the key under the sprite's own key pixels stays, and so does a ground
// of another colour.
TEST(StampSprite, OverlayKeyGivesWayToBlackUnderTheInkOnly) {
  Stamp s;
  s.canvas.FillRect(0, 0, 2 * kPageWidth, 40, kGround);
  StampSprite(s.canvas, s.blend, {0, 0, 4, 2}, s.sprite, {0, 0, 4, 2}, 128, kGround);
  const COLORREF overBlack = s.At(0, 0, 0);
  EXPECT_NEAR(static_cast<int>(overBlack & 0xFF), 100, 1);  // half of the ink, nothing of blue
  EXPECT_EQ((overBlack >> 16) & 0xFF, 0U);
  EXPECT_EQ(s.At(0, 3, 0), kGround);  // under the sprite's key: still the key colour

  Stamp other;
  StampSprite(other.canvas, other.blend, {0, 0, 4, 2}, other.sprite, {0, 0, 4, 2}, 128,
              MakeColorRef(0, 255, 0));
  EXPECT_NEAR(static_cast<int>((other.At(0, 0, 0) >> 16) & 0xFF), 100, 1);  // blended as before
}

}  // namespace
}  // namespace hw

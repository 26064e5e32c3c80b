#include "lettering.h"

#include <algorithm>
#include <climits>

#include "display/sprite_drawing.h"

namespace hw::themegen {
namespace {

int CoverageAt(const Surface& ink, int x, int y) {
  return static_cast<int>((ink.Row(y)[x] >> 8) & 0xFF);
}

}  // namespace

FontId Lettering::Font(const FontSpec& font) {
  for (const auto& [spec, id] : fonts_) {
    if (spec.face == font.face && spec.height == font.height && spec.width == font.width &&
        spec.weight == font.weight) {
      return id;
    }
  }
  const FontId id = text_.CreateFont(font);
  fonts_.emplace_back(font, id);
  return id;
}

Surface Lettering::Ink(std::u16string_view text, const FontSpec& font) {
  const int margin = font.height;
  Surface scratch(font.height * static_cast<int>(text.size() + 2) + 2 * margin,
                  font.height + 2 * margin);
  scratch.Fill(0);
  Rect rect{margin, margin, scratch.width(), scratch.height()};
  text_.DrawText(scratch, Font(font), 0xFFFFFF, text, rect, DT_LEFT | DT_SINGLELINE);

  Rect ink{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < scratch.height(); ++y) {
    for (int x = 0; x < scratch.width(); ++x) {
      if (CoverageAt(scratch, x, y) == 0) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
             std::max(ink.bottom, y + 1)};
    }
  }
  if (ink.left > ink.right) return {};
  Surface cropped(ink.Width(), ink.Height());
  for (int y = 0; y < ink.Height(); ++y) {
    for (int x = 0; x < ink.Width(); ++x)
      cropped.Row(y)[x] = scratch.Row(ink.top + y)[ink.left + x];
  }
  return cropped;
}

void Lettering::Paint(Surface& target, const Surface& ink, int x, int y, COLORREF colour,
                      COLORREF under) {
  for (int iy = 0; iy < ink.height(); ++iy) {
    for (int ix = 0; ix < ink.width(); ++ix) {
      const int coverage = CoverageAt(ink, ix, iy);
      const int tx = x + ix;
      const int ty = y + iy;
      if (coverage == 0 || tx < 0 || ty < 0 || tx >= target.width() || ty >= target.height()) {
        continue;
      }
      COLORREF base = target.GetPixel(tx, ty);
      if (base == kSpriteKey) base = under;
      target.SetPixel(tx, ty, MixColour(base, colour, coverage));
    }
  }
}

Surface Lettering::Grow(const Surface& ink, int radius) {
  Surface grown(ink.width() + 2 * radius, ink.height() + 2 * radius);
  grown.Fill(0);
  for (int y = 0; y < grown.height(); ++y) {
    for (int x = 0; x < grown.width(); ++x) {
      int best = 0;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          if (dx * dx + dy * dy > radius * radius) continue;
          const int sx = x - radius + dx;
          const int sy = y - radius + dy;
          if (sx < 0 || sy < 0 || sx >= ink.width() || sy >= ink.height()) continue;
          best = std::max(best, CoverageAt(ink, sx, sy));
        }
      }
      grown.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(best) * 0x010101u;
    }
  }
  return grown;
}

void Lettering::Centred(Surface& target, const Rect& box, std::u16string_view text,
                        const FontSpec& font, COLORREF colour, COLORREF under) {
  const Surface ink = Ink(text, font);
  Paint(target, ink, box.left + (box.Width() - ink.width()) / 2,
        box.top + (box.Height() - ink.height()) / 2, colour, under);
}

void Lettering::OnBaseline(Surface& target, int x, int baseline, std::u16string_view text,
                           const FontSpec& font, COLORREF colour, COLORREF under) {
  const Surface ink = Ink(text, font);
  Paint(target, ink, x, baseline - ink.height(), colour, under);
}

}  // namespace hw::themegen

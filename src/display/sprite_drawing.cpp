#include "display/sprite_drawing.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace hw {
namespace {

// Whether the centre of pixel (x, y) lies in the rounded rectangle.
bool InRoundRect(int x, int y, const Rect& rect, double radius) {
  if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom) return false;
  const double px = x + 0.5;
  const double py = y + 0.5;
  const double cx = std::clamp(px, rect.left + radius, rect.right - radius);
  const double cy = std::clamp(py, rect.top + radius, rect.bottom - radius);
  return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
}

// The part of `rect` that lies on the surface.
Rect Clip(const Surface& surface, const Rect& rect) {
  return {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, surface.width()),
          std::min(rect.bottom, surface.height())};
}

double Radius(const Rect& rect, int radius) {
  return std::clamp(radius, 0, std::min(rect.Width(), rect.Height()) / 2);
}

}  // namespace

COLORREF MixColour(COLORREF from, COLORREF to, int amount) {
  const auto channel = [&](int shift) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    return (a * (255 - amount) + b * amount + 127) / 255;
  };
  return MakeColorRef(channel(0), channel(8), channel(16));
}

void FillRoundRect(Surface& surface, const Rect& rect, int radius, COLORREF colour) {
  FillRoundRectGradient(surface, rect, radius, colour, colour);
}

void FillRoundRectGradient(Surface& surface, const Rect& rect, int radius, COLORREF top,
                           COLORREF bottom) {
  if (surface.empty() || rect.Width() <= 0 || rect.Height() <= 0) return;
  const double r = Radius(rect, radius);
  const Rect clip = Clip(surface, rect);
  const int span = std::max(rect.Height() - 1, 1);
  for (int y = clip.top; y < clip.bottom; ++y) {
    const COLORREF colour = MixColour(top, bottom, (y - rect.top) * 255 / span);
    for (int x = clip.left; x < clip.right; ++x) {
      if (InRoundRect(x, y, rect, r)) surface.SetPixel(x, y, colour);
    }
  }
}

void FrameRoundRect(Surface& surface, const Rect& rect, int radius, int thickness,
                    COLORREF colour) {
  if (surface.empty() || thickness <= 0) return;
  const double r = Radius(rect, radius);
  const Rect inner{rect.left + thickness, rect.top + thickness, rect.right - thickness,
                   rect.bottom - thickness};
  const double innerRadius = std::max(0.0, r - thickness);
  const Rect clip = Clip(surface, rect);
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int x = clip.left; x < clip.right; ++x) {
      if (InRoundRect(x, y, rect, r) && !InRoundRect(x, y, inner, innerRadius)) {
        surface.SetPixel(x, y, colour);
      }
    }
  }
}

void FillCircle(Surface& surface, double centreX, double centreY, double radius, COLORREF colour) {
  FillStroke(surface, centreX, centreY, centreX, centreY, radius, colour);
}

void FillStroke(Surface& surface, double x0, double y0, double x1, double y1, double halfWidth,
                COLORREF colour) {
  if (surface.empty() || halfWidth <= 0) return;
  const int left = static_cast<int>(std::floor(std::min(x0, x1) - halfWidth));
  const int top = static_cast<int>(std::floor(std::min(y0, y1) - halfWidth));
  const int right = static_cast<int>(std::ceil(std::max(x0, x1) + halfWidth)) + 1;
  const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + halfWidth)) + 1;
  const Rect clip = Clip(surface, {left, top, right, bottom});
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double length2 = dx * dx + dy * dy;
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int x = clip.left; x < clip.right; ++x) {
      const double px = x + 0.5 - x0;
      const double py = y + 0.5 - y0;
      const double t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
      const double ex = px - t * dx;
      const double ey = py - t * dy;
      if (ex * ex + ey * ey <= halfWidth * halfWidth) surface.SetPixel(x, y, colour);
    }
  }
}

Surface DrawTableCellSheet(COLORREF field, const std::array<COLORREF, kTableCellBorder>& ridge) {
  constexpr int kFieldRight = 337;
  constexpr int kInnerCorner = 344;
  constexpr int kFieldBottom = 71;
  Surface sheet(351, 78);
  sheet.Fill(kSpriteKey);
  for (int y = 0; y < sheet.height(); ++y) {
    for (int x = 0; x < sheet.width(); ++x) {
      std::optional<int> distance;
      if (x >= kInnerCorner) {
        // The field lies above and to the left: the border runs along the bottom and right.
        if (y < kTableCellBorder) distance = std::min(x - kInnerCorner, y);
      } else {
        std::optional<int> across;
        std::optional<int> down;
        if (x < kTableCellBorder) across = kTableCellBorder - 1 - x;
        if (x >= kFieldRight) across = x - kFieldRight;
        if (y < kTableCellBorder) down = kTableCellBorder - 1 - y;
        if (y >= kFieldBottom) down = y - kFieldBottom;
        distance = across && down ? std::max(*across, *down) : across ? across : down;
        if (!distance) sheet.SetPixel(x, y, field);
      }
      if (distance) sheet.SetPixel(x, y, ridge[static_cast<std::size_t>(*distance)]);
    }
  }
  return sheet;
}

}  // namespace hw

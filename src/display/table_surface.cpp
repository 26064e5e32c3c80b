#include "display/table_surface.h"

#include <algorithm>

#include "platform/blit.h"

namespace hw {

void TableWork::Clear(const Rect& area) {
  BitBlt(surface_, area.left, area.top, area.Width(), area.Height(), surface_,
         area.left + kPageWidth, area.top);
}

void TableWork::DrawText(TextRenderer& text, FontId font, COLORREF colour, std::u16string_view line,
                         Rect rect, unsigned format) {
  rect.right = std::min(rect.right, kPageWidth);
  text.DrawText(surface_, font, colour, line, rect, format);
}

void TableWork::Stamp(const Surface& sprite, const Rect& area, int x, int y) {
  // Whatever reached the blank page 1 would come back with every later clear.
  const int width = std::min(area.Width(), kPageWidth - x);
  if (width <= 0) return;
  TransparentBlt(surface_, x, y, width, area.Height(), sprite, area.left, area.top, width,
                 area.Height(), kSpriteKey);
}

void TableWork::CopyTo(Surface& canvas, const Rect& area, int x, int y) {
  TransparentBlt(canvas, x, y, area.Width(), area.Height(), surface_, area.left, area.top,
                 area.Width(), area.Height(), kTextKey);
}

}  // namespace hw

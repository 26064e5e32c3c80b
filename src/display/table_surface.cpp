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

void TableWork::CopyTo(Surface& canvas, const Rect& area, int x, int y) {
  TransparentBlt(canvas, x, y, area.Width(), area.Height(), surface_, area.left, area.top,
                 area.Width(), area.Height(), kTextKey);
}

}  // namespace hw

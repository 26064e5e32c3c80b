#include "fakes/fake_text_renderer.h"

#include <algorithm>

namespace hw::test {

int FakeTextRenderer::DrawText(Surface& target, FontId font, COLORREF color,
                               std::u16string_view text, Rect& rect, unsigned format) {
  const FontSpec spec = font >= 0 && static_cast<std::size_t>(font) < fonts.size()
                            ? fonts[static_cast<std::size_t>(font)]
                            : FontSpec{};
  const int charWidth = spec.width > 0 ? spec.width : spec.height / 2;
  if (format & DT_CALCRECT) {
    rect.right = rect.left + charWidth * static_cast<int>(text.size());
    rect.bottom = rect.top + spec.height;
    return spec.height;
  }
  draws.push_back({font, color, std::u16string(text), rect, format});
  if (paint) {
    target.FillRect(rect.left, rect.top + (rect.Height() - 4) / 2,
                    std::min(4 * static_cast<int>(text.size()), rect.Width()), 4, color);
  }
  return spec.height;
}

}  // namespace hw::test

#include "fakes/fake_text_renderer.h"

namespace hw::test {

int FakeTextRenderer::DrawText(Surface&, FontId font, COLORREF color, std::u16string_view text,
                               Rect& rect, unsigned format) {
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
  return spec.height;
}

}  // namespace hw::test

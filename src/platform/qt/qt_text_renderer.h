#pragma once

#include <QFont>
#include <QFontMetrics>
#include <string_view>
#include <vector>

#include "platform/text_renderer.h"

namespace hw {

// TextRenderer on Qt: fonts are QFonts sized to the cell height and average width that
// CreateFontW would give, glyphs are rasterised by QPainter straight into the surface's pixels
// (greyscale antialiasing, no kerning, as GDI's DrawText). Windows face names are mapped onto
// the installed Liberation and Noto CJK families, and every font falls back to Noto Sans CJK JP
// for Japanese. Needs a QGuiApplication; may be used off the GUI thread, one thread at a time.
class QtTextRenderer final : public TextRenderer {
 public:
  // What GetTextMetrics would report for a font, in pixels.
  struct Metrics {
    int ascent = 0;
    int descent = 0;
    int averageCharWidth = 0;
    int height() const { return ascent + descent; }
  };

  QtTextRenderer() = default;

  FontId CreateFont(const FontSpec& spec) override;
  int DrawText(Surface& target, FontId font, COLORREF color, std::u16string_view text, Rect& rect,
               unsigned format) override;

  // The metrics of a font from CreateFont; all zero for an unknown id.
  Metrics FontMetrics(FontId font) const;

 private:
  struct Font {
    QFont font;
    QFontMetrics metrics;
    Metrics cell;
  };

  const Font* Find(FontId font) const;

  std::vector<Font> fonts_;
};

}  // namespace hw

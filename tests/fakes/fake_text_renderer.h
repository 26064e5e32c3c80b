#pragma once

#include <string>
#include <vector>

#include "platform/text_renderer.h"

namespace hw::test {

// Records fonts and text; measures every character as the font's width (or half its height).
// With `paint` set it also marks where a text goes: a bar 4 pixels high and 4 pixels a
// character long (cut at the rectangle), in the text's colour, at the rectangle's left edge
// and vertical centre.
class FakeTextRenderer final : public TextRenderer {
 public:
  struct DrawCall {
    FontId font;
    COLORREF color;
    std::u16string text;
    Rect rect;
    unsigned format;
  };

  FontId CreateFont(const FontSpec& spec) override {
    fonts.push_back(spec);
    return static_cast<FontId>(fonts.size() - 1);
  }
  int DrawText(Surface&, FontId font, COLORREF color, std::u16string_view text, Rect& rect,
               unsigned format) override;

  std::vector<FontSpec> fonts;
  std::vector<DrawCall> draws;
  bool paint = false;
};

}  // namespace hw::test

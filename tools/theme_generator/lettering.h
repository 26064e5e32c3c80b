#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "platform/colorref.h"
#include "platform/geometry.h"
#include "platform/surface.h"
#include "platform/text_renderer.h"

namespace hw::themegen {

// Text for sprite pictures, placed by its ink (the pixels the glyphs cover) rather than by
// font metrics, so that captions sit exactly where a layout needs them whatever the face.
//
// Antialiased edges are blended against what lies under the text in the sprite, or, where
// the sprite is transparent (pure blue), against `under`: the colour the caption will lie on
// once it is stamped over its frame. Blending against the key colour itself would leave a
// bluish fringe.
class Lettering {
 public:
  explicit Lettering(TextRenderer& text) : text_(text) {}

  // The coverage of `text` (0–255 in every channel), cropped to its ink.
  Surface Ink(std::u16string_view text, const FontSpec& font);

  // Puts ink onto `target` with its top-left corner at (x, y).
  static void Paint(Surface& target, const Surface& ink, int x, int y, COLORREF colour,
                    COLORREF under);

  // The ink grown by `radius` pixels in every direction, for outlines.
  static Surface Grow(const Surface& ink, int radius);

  // Draws `text` with its ink centred in `box`.
  void Centred(Surface& target, const Rect& box, std::u16string_view text, const FontSpec& font,
               COLORREF colour, COLORREF under);
  // Draws `text` with its ink's left edge at `x` and its bottom at `baseline`.
  void OnBaseline(Surface& target, int x, int baseline, std::u16string_view text,
                  const FontSpec& font, COLORREF colour, COLORREF under);

  // The renderer's font for a spec, created once.
  FontId Font(const FontSpec& font);
  TextRenderer& renderer() { return text_; }

 private:
  TextRenderer& text_;
  std::vector<std::pair<FontSpec, FontId>> fonts_;
};

}  // namespace hw::themegen

#pragma once

#include <string>
#include <string_view>

#include "platform/colorref.h"
#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// A font as CreateFontW describes it: `height` is the cell height in pixels (ascent plus
// descent), `width` the average character width in pixels (0: the face's natural width),
// `weight` 100..900 (400 normal, 700 bold), `face` a Windows face name.
struct FontSpec {
  std::u16string face;
  int height = 0;
  int width = 0;
  int weight = 400;
};

using FontId = int;
inline constexpr FontId kNoFont = -1;

// The DrawText format flags the program uses, with their Windows values.
enum DrawTextFormat : unsigned {
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_SINGLELINE = 0x20,
  DT_CALCRECT = 0x400,
};

// Puts text into surfaces. Glyphs are rasterised by the platform; placement follows DrawText:
// one line, left/centre/right aligned in the rectangle, vertically centred with DT_VCENTER
// (else at the top), clipped to the rectangle and to the surface, background left transparent.
class TextRenderer {
 public:
  virtual ~TextRenderer() = default;

  // Always gives a usable font: a face that is not installed falls back to a default family.
  virtual FontId CreateFont(const FontSpec& spec) = 0;

  // Draws `text` in `color` into `rect` of `target` and returns the height of the drawn line.
  // With DT_CALCRECT nothing is drawn: rect.right becomes rect.left + the text width and
  // rect.bottom becomes rect.top + the line height.
  virtual int DrawText(Surface& target, FontId font, COLORREF color, std::u16string_view text,
                       Rect& rect, unsigned format) = 0;
};

}  // namespace hw

#pragma once

#include <string_view>

#include "display/compose_inputs.h"

namespace hw {

// The tables' work surface: they are drawn on its page 0 in page coordinates, then copied to
// the canvas with black as the transparent colour. Its page 1 stays blank and is copied over
// page 0 to clear it, so text is kept inside page 0.
class TableWork {
 public:
  explicit TableWork(ComposeInputs& in) : surface_(in.surfaces[TableSurface].surface) {}

  Surface& surface() { return surface_; }
  // Copies the blank page over `area` of page 0.
  void Clear(const Rect& area);
  void ClearAll() { Clear({0, 0, kPageWidth, kPageHeight}); }
  // Text into page 0, cut at its right edge.
  void DrawText(TextRenderer& text, FontId font, COLORREF colour, std::u16string_view line,
                Rect rect, unsigned format);
  // Stamps `area` of `sprite` at (x, y) of page 0, key-blue pixels left out, cut at the page's
  // right edge like the text.
  void Stamp(const Surface& sprite, const Rect& area, int x, int y);
  // Copies `area` of page 0 to (x, y) of `canvas`, black pixels left out.
  void CopyTo(Surface& canvas, const Rect& area, int x, int y);

 private:
  Surface& surface_;
};

}  // namespace hw

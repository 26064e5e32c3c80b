#include "display/box_drawing.h"

#include "display/log_format.h"
#include "display/sprite_stamp.h"

namespace hw {
namespace {

std::u16string_view Piece(std::u16string_view text, std::size_t first, std::size_t length) {
  return first < text.size() ? text.substr(first, length) : std::u16string_view();
}

}  // namespace

void StampElement(ComposeInputs& in, const ThemeElement& e, SurfaceIndex sprite) {
  StampElement(in, e, sprite, {0, 0, e.width, e.height});
}

void StampElement(ComposeInputs& in, const ThemeElement& e, SurfaceIndex sprite, const Rect& source,
                  int shift) {
  if (e.visible == 0) return;
  StampSprite(in.surfaces[CanvasSurface].surface, in.surfaces[BlendSurface].surface,
              ElementRect(e, shift), in.surfaces[sprite].surface, source, e.alpha,
              OverlayKeyOf(in.settings));
}

void DrawOnPages(ComposeInputs& in, PageSpan pages, FontId font, COLORREF colour,
                 std::u16string_view text, const Rect& rect, unsigned format) {
  LayerSurface& canvas = in.surfaces[CanvasSurface];
  canvas.font = font;
  canvas.textColor = colour;
  for (int page = pages.first; page < pages.first + pages.count; ++page) {
    Rect shifted{rect.left + PageX(page), rect.top, rect.right + PageX(page), rect.bottom};
    in.text.DrawText(canvas.surface, font, colour, text, shifted, format);
  }
}

FontId FitFont(ComposeInputs& in, std::u16string_view text, const Rect& rect,
               const std::array<FontId, 3>& fonts, unsigned align) {
  const int room = rect.Width();
  Surface& canvas = in.surfaces[CanvasSurface].surface;
  for (std::size_t i = 0; i + 1 < fonts.size(); ++i) {
    Rect measured = rect;
    in.text.DrawText(canvas, fonts[i], 0, text, measured,
                     align | DT_CALCRECT | DT_VCENTER | DT_SINGLELINE);
    if (measured.Width() <= room) return fonts[i];
  }
  return fonts.back();
}

void DrawEpicentreName(ComposeInputs& in, std::u16string_view name, Rect rect,
                       const std::array<FontId, 3>& fonts, unsigned align, COLORREF colour) {
  FontId font = fonts[0];
  if (name.starts_with(u"-")) {
    rect.left += 2;
  } else {
    font = FitFont(in, name, rect, fonts, align);
  }
  DrawOnPages(in, kAllPages, font, colour, name, rect, align | DT_VCENTER | DT_SINGLELINE);
}

void DrawDepth(ComposeInputs& in, std::u16string_view depth, Rect rect, FontId font, unsigned align,
               COLORREF colour) {
  if (!depth.starts_with(u"ご") && !depth.starts_with(u"調")) rect.left += 2;
  DrawOnPages(in, kAllPages, font, colour, depth, rect, align | DT_VCENTER | DT_SINGLELINE);
}

TimePieces CutTime(std::u16string_view yearMonth, std::u16string_view dayTime) {
  return {Piece(yearMonth, 0, 4), Piece(yearMonth, 5, 2), Piece(dayTime, 0, 2),
          Piece(dayTime, 3, 2), Piece(dayTime, 6, 2)};
}

std::u16string MagnitudeText(double magnitude) {
  return magnitude > 0 ? FormatLogText("%3.1f", magnitude) : std::u16string();
}

}  // namespace hw

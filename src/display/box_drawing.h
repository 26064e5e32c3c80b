#pragma once

#include <array>
#include <climits>
#include <string>
#include <string_view>

#include "display/compose_inputs.h"
#include "platform/geometry.h"

namespace hw {

// The canvas pages a text or sprite goes on: all four (boxes, history, comment table), or the
// two of a table pass.
struct PageSpan {
  int first = 0;
  int count = 4;
};
inline constexpr PageSpan kAllPages{0, 4};

// a + b held within the int range: theme values are whatever a layout file says.
constexpr int SaturatedAdd(int a, int b) {
  const long long sum = static_cast<long long>(a) + b;
  return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

// The page rectangle of a sprite element (both corners inclusive) as a drawing rectangle,
// moved down by `shift`.
constexpr Rect ElementRect(const ThemeElement& e, int shift = 0) {
  return {e.rcLeft, SaturatedAdd(e.rcTop, shift), SaturatedAdd(e.rcRight, 1),
          SaturatedAdd(SaturatedAdd(e.rcBottom, 1), shift)};
}

// A text element's rectangle, handed to the text output as it is, moved down by `shift`.
constexpr Rect TextRect(const TextElement& e, int shift = 0) {
  return {e.rcLeft, SaturatedAdd(e.rcTop, shift), e.rcRight, SaturatedAdd(e.rcBottom, shift)};
}

// Stamps a sprite element on pages 0–3 with its own opacity when it is visible (not 0); the
// source rectangle is its whole sprite unless a cell of a sheet is given.
void StampElement(ComposeInputs& in, const ThemeElement& e, SurfaceIndex sprite);
void StampElement(ComposeInputs& in, const ThemeElement& e, SurfaceIndex sprite, const Rect& source,
                  int shift = 0);

// Selects `font` and `colour` on the canvas, as the layers leave them for the next, and draws
// `text` into `rect` of every page of `pages`.
void DrawOnPages(ComposeInputs& in, PageSpan pages, FontId font, COLORREF colour,
                 std::u16string_view text, const Rect& rect, unsigned format);

// The font a name is drawn with so that it fits `rect`: the regular one when it fits, else
// the two-thirds-width one when that fits, else the half-width one (which may still be cut).
FontId FitFont(ComposeInputs& in, std::u16string_view text, const Rect& rect,
               const std::array<FontId, 3>& fonts, unsigned align);

// The five pieces of a time: year and month from "YYYY年MM月", day, hour and minute from
// "DD日hh時mm分"; a piece is empty when its text is.
struct TimePieces {
  std::u16string_view year, month, date, hour, minute;
};
TimePieces CutTime(std::u16string_view yearMonth, std::u16string_view dayTime);

// An epicentre name: one beginning with "-" two pixels in with the regular font, any other
// with the font that fits (FitFont), both aligned by `align` and centred vertically.
void DrawEpicentreName(ComposeInputs& in, std::u16string_view name, Rect rect,
                       const std::array<FontId, 3>& fonts, unsigned align, COLORREF colour);

// A depth: words ("ごく浅い", "調査中") at the rectangle's left, anything else two pixels in.
void DrawDepth(ComposeInputs& in, std::u16string_view depth, Rect rect, FontId font, unsigned align,
               COLORREF colour);

// "%3.1f" of a magnitude above 0, else empty.
std::u16string MagnitudeText(double magnitude);

}  // namespace hw

#pragma once

#include <array>

#include "platform/colorref.h"
#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// Shapes for sprite pictures. Edges are hard (a pixel is in when its centre is): a sprite's
// edge lies against the transparent key colour, and a blended edge pixel would show on the
// picture as a bluish fringe. Rectangles exclude their right and bottom edges; everything is
// clipped to the surface.

// A rectangle with corners rounded to `radius` (0: square corners).
void FillRoundRect(Surface& surface, const Rect& rect, int radius, COLORREF colour);

// The same, shaded from `top` at its first row to `bottom` at its last.
void FillRoundRectGradient(Surface& surface, const Rect& rect, int radius, COLORREF top,
                           COLORREF bottom);

// The band of `thickness` pixels along the inside of a rounded rectangle's edge.
void FrameRoundRect(Surface& surface, const Rect& rect, int radius, int thickness, COLORREF colour);

// A disc of the given centre and radius, in pixel coordinates.
void FillCircle(Surface& surface, double centreX, double centreY, double radius, COLORREF colour);

// Every pixel within `halfWidth` of the segment (x0, y0)–(x1, y1): a straight stroke with
// round ends.
void FillStroke(Surface& surface, double x0, double y0, double x1, double y1, double halfWidth,
                COLORREF colour);

// The city grid's cell sheet, 351 × 78: a 330 × 64 field at (7, 7) in `field`, framed by
// 7-pixel borders, with the right border column at x 337–343 and an inner-corner piece at
// x 344–350, y 0–6 (where a shorter last column's bottom meets the previous column's right
// border); the rest is transparent. A border pixel takes `ridge`[d], d being its distance
// from the field (0 next to it, 6 at the outer edge), so that the pieces, joined in any
// arrangement the grid needs, line up into one frame.
inline constexpr int kTableCellBorder = 7;
Surface DrawTableCellSheet(COLORREF field, const std::array<COLORREF, kTableCellBorder>& ridge);

// The colour `amount`/255 of the way from `from` to `to`.
COLORREF MixColour(COLORREF from, COLORREF to, int amount);

}  // namespace hw

#pragma once

#include "platform/colorref.h"
#include "platform/surface.h"

namespace hw {

// The four copy operations every layer of the picture is made with. Coordinates are pixels;
// (x, y, w, h) is the destination rectangle and (sx, sy[, sw, sh]) the source rectangle.
// Parts of either rectangle that lie outside their surface are clipped: nothing is read or
// written outside a buffer. Non-positive sizes draw nothing.

// Copies pixel for pixel (SRCCOPY). Source and destination may be the same surface.
void BitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy);

// Copies a rectangle scaled to another size with HALFTONE quality: every destination pixel is
// the area-weighted average of the source pixels its footprint covers, so shrinking averages
// and a 1:1 copy is exact. Destination pixels whose footprint lies outside the source are black.
void StretchBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh);

// Copies a source rectangle scaled to the destination by nearest pixel, leaving destination
// pixels unchanged where the source pixel equals `key` (so key pixels stay exact when scaled).
void TransparentBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int sw, int sh, COLORREF key);

// Blends the source over the destination with constant opacity `alpha` (low 8 bits used):
// dst = src·α/255 + dst·(255 − α)/255, rounded. α 0 leaves dst unchanged, α 255 copies.
// Different rectangle sizes scale by nearest pixel.
void AlphaBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, int alpha);

}  // namespace hw

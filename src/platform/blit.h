#pragma once

#include <cstdint>

#include "platform/colorref.h"
#include "platform/geometry.h"
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

// The same, writing only the destination pixels inside `clip` (destination coordinates): each
// gets exactly the value the whole stretch gives it, so a picture can be stretched again in
// parts where it changed.
void StretchBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, const Rect& clip);

// Copies a source rectangle scaled to the destination by nearest pixel, leaving destination
// pixels unchanged where the source pixel equals `key` (so key pixels stay exact when scaled).
void TransparentBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int sw, int sh, COLORREF key);

// Blends the source over the destination with constant opacity `alpha` (low 8 bits used):
// dst = src·α/255 + dst·(255 − α)/255, rounded. α 0 leaves dst unchanged, α 255 copies.
// Different rectangle sizes scale by nearest pixel.
void AlphaBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, int alpha);

// ---- Stretching a picture that is read as it is drawn ----

// A picture too big to hold whole, held instead at 1/scale of its size (scale 1, 2, 4, 8, …,
// at most kMaxHeldScale): held pixel (u, v) stands for the picture pixels [u·scale,
// (u+1)·scale) × [v·scale, (v+1)·scale), cut at the picture's edges, so the last held column
// and row may stand for fewer.
inline constexpr int kMaxHeldScale = 1024;
struct HeldPicture {
  int width = 0;  // the picture's own size, in picture pixels
  int height = 0;
  int scale = 1;
};

// The held pixels a stretch reads: columns [firstColumn, endColumn), rows [firstRow, endRow).
struct HeldRegion {
  int firstColumn = 0;
  int endColumn = 0;
  int firstRow = 0;
  int endRow = 0;
};

// Where StretchFromRows reads a held picture from, a row at a time.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // Called once, before the first row, with every held pixel the stretch will read; a source
  // prepares (crops, skips) here. False stops the stretch.
  virtual bool Begin(const HeldRegion& region) = 0;
  // Writes the region's columns of held row `row` (endColumn − firstColumn pixels, any alpha)
  // to `pixels`. Rows come once each, in order from firstRow to endRow − 1, none left out.
  // False stops the stretch.
  virtual bool ReadRow(int row, std::uint32_t* pixels) = 0;
};

// StretchBlt from a held picture read row by row: the rectangles are in picture pixels and
// every destination pixel is the area average of the picture over its footprint, as StretchBlt
// from the whole picture gives, with each held pixel weighted by the part of the footprint it
// stands for (so a picture held at a smaller scale is drawn without any shift). At scale 1 the
// result equals StretchBlt's bit for bit. Only two held rows and one row of sums are kept, so
// memory stays a few rows of the region whatever the rectangles. Returns false when the source
// does (the destination rows drawn by then keep their new pixels) and, drawing nothing, for a
// scale outside 1..kMaxHeldScale.
bool StretchFromRows(Surface& dst, int x, int y, int w, int h, const HeldPicture& picture, int sx,
                     int sy, int sw, int sh, RowSource& source);

}  // namespace hw

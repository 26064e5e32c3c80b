#pragma once

#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// The pages every box is stamped on (area and station pages, with and without epicentre).
inline constexpr int kStampedPages = 4;

// Draws one sprite with its colour key (pure blue) and a constant opacity on canvas pages
// 0–3: for each page, the canvas rectangle is copied to the same place of the blend surface,
// the sprite's source rectangle is stretched onto it with the key, and the result is blended
// back with `alpha` (its low 8 bits). `rect` is in page coordinates with exclusive right and
// bottom edges. Alpha 255 gives a keyed copy; alpha 0 changes nothing.
void StampSprite(Surface& canvas, Surface& blend, const Rect& rect, const Surface& sprite,
                 const Rect& source, int alpha);

}  // namespace hw

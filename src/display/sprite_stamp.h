#pragma once

#include <optional>

#include "platform/colorref.h"
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
//
// With `overlayKey` (the overlay form, where the map's place is that colour) the key colour
// under the sprite's pixels gives way to black before the blend, as if the box lay over a dark
// map: a translucent box then keeps its own colours instead of taking on the key's tint, and
// is opaque in the transparent picture.
void StampSprite(Surface& canvas, Surface& blend, const Rect& rect, const Surface& sprite,
                 const Rect& source, int alpha, std::optional<COLORREF> overlayKey = {});

// The same for a translucent shade over `rect` of canvas pages 0–3: key colour in it becomes
// black first.
void ClearOverlayKey(Surface& canvas, const Rect& rect, std::optional<COLORREF> overlayKey);

// Key colour in `rect` (canvas coordinates) becomes black.
void ClearKeyOnCanvas(Surface& canvas, const Rect& rect, COLORREF key);

// The key colour of the overlay form, when the settings ask for it.
struct PictureSettings;
std::optional<COLORREF> OverlayKeyOf(const PictureSettings& settings);

}  // namespace hw

#include "display/sprite_stamp.h"

#include <algorithm>

#include "display/compose_inputs.h"
#include "display/layer_surfaces.h"
#include "platform/blit.h"

namespace hw {

namespace {

// Key-coloured pixels of `part` of the canvas become black where `mask` (the blend surface,
// from its origin) differs from the key, or everywhere without a mask.
void BlackenKey(Surface& canvas, const Rect& part, COLORREF key, const Surface* mask) {
  const std::uint32_t keyPixel = PixelFromColorRef(key) & 0xFFFFFFU;
  const std::uint32_t black = PixelFromColorRef(0);
  for (int y = part.top; y < part.bottom; ++y) {
    std::uint32_t* row = canvas.Row(y);
    const std::uint32_t* over = mask != nullptr ? mask->Row(y - part.top) : nullptr;
    for (int x = part.left; x < part.right; ++x) {
      if ((row[x] & 0xFFFFFFU) != keyPixel) continue;
      if (over != nullptr && (over[x - part.left] & 0xFFFFFFU) == keyPixel) continue;
      row[x] = black;
    }
  }
}

}  // namespace

void ClearKeyOnCanvas(Surface& canvas, const Rect& rect, COLORREF key) {
  const Rect part{std::max(rect.left, 0), std::max(rect.top, 0),
                  std::min(rect.right, canvas.width()), std::min(rect.bottom, canvas.height())};
  if (part.Width() > 0 && part.Height() > 0) BlackenKey(canvas, part, key, nullptr);
}

std::optional<COLORREF> OverlayKeyOf(const PictureSettings& settings) {
  if (settings.Overlay != 1) return std::nullopt;
  return settings.KeyColour;
}

void ClearOverlayKey(Surface& canvas, const Rect& rect, std::optional<COLORREF> overlayKey) {
  if (!overlayKey) return;
  const Rect stamped{0, 0, std::min(canvas.width(), PageX(kStampedPages)), canvas.height()};
  for (int page = 0; page < kStampedPages; ++page) {
    const int x = rect.left + PageX(page);
    const Rect part{std::max(x, stamped.left), std::max(rect.top, stamped.top),
                    std::min(x + rect.Width(), stamped.right),
                    std::min(rect.bottom, stamped.bottom)};
    if (part.Width() > 0 && part.Height() > 0) BlackenKey(canvas, part, *overlayKey, nullptr);
  }
}

void StampSprite(Surface& canvas, Surface& blend, const Rect& rect, const Surface& sprite,
                 const Rect& source, int alpha, std::optional<COLORREF> overlayKey) {
  const int w = rect.Width();
  const int h = rect.Height();
  if (w <= 0 || h <= 0) return;
  // The pixels a stamp may change: those of the stamped pages' span of the canvas.
  const Rect stamped{0, 0, std::min(canvas.width(), PageX(kStampedPages)), canvas.height()};
  for (int page = 0; page < kStampedPages; ++page) {
    const int x = rect.left + PageX(page);
    const Rect part{std::max(x, stamped.left), std::max(rect.top, stamped.top),
                    std::min(x + w, stamped.right), std::min(rect.top + h, stamped.bottom)};
    if (part.Width() <= 0 || part.Height() <= 0) continue;
    // The blend surface is scratch the size of the part: the canvas part is copied to it,
    // the sprite stretched over it where the whole rectangle would lie, and it is blended back.
    if (blend.width() < part.Width() || blend.height() < part.Height()) {
      blend =
          Surface(std::max(blend.width(), part.Width()), std::max(blend.height(), part.Height()));
    }
    BitBlt(blend, 0, 0, part.Width(), part.Height(), canvas, part.left, part.top);
    TransparentBlt(blend, x - part.left, rect.top - part.top, w, h, sprite, source.left, source.top,
                   source.Width(), source.Height(), kSpriteKey);
    if (overlayKey) BlackenKey(canvas, part, *overlayKey, &blend);
    // Only the part: the scratch beyond it holds an earlier stamp.
    AlphaBlend(canvas, part.left, part.top, part.Width(), part.Height(), blend, 0, 0, part.Width(),
               part.Height(), alpha);
  }
}

}  // namespace hw

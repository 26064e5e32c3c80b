#include "display/sprite_stamp.h"

#include <algorithm>

#include "display/layer_surfaces.h"
#include "platform/blit.h"

namespace hw {

void StampSprite(Surface& canvas, Surface& blend, const Rect& rect, const Surface& sprite,
                 const Rect& source, int alpha) {
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
    // Only the part: the scratch beyond it holds an earlier stamp.
    AlphaBlend(canvas, part.left, part.top, part.Width(), part.Height(), blend, 0, 0, part.Width(),
               part.Height(), alpha);
  }
}

}  // namespace hw

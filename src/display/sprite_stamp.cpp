#include "display/sprite_stamp.h"

#include "display/layer_surfaces.h"
#include "platform/blit.h"

namespace hw {

void StampSprite(Surface& canvas, Surface& blend, const Rect& rect, const Surface& sprite,
                 const Rect& source, int alpha) {
  const int w = rect.Width();
  const int h = rect.Height();
  for (int page = 0; page < kStampedPages; ++page) {
    const int x = rect.left + PageX(page);
    BitBlt(blend, x, rect.top, w, h, canvas, x, rect.top);
    TransparentBlt(blend, x, rect.top, w, h, sprite, source.left, source.top, source.Width(),
                   source.Height(), kSpriteKey);
    AlphaBlend(canvas, x, rect.top, w, h, blend, x, rect.top, w, h, alpha);
  }
}

}  // namespace hw

#include "platform/map_picture.h"

#include "platform/blit.h"

namespace hw {

bool DecodedMapPicture::StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                                  int sh) {
  StretchBlt(dst, x, y, w, h, picture_, sx, sy, sw, sh);
  return true;
}

}  // namespace hw

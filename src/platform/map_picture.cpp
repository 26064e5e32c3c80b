#include "platform/map_picture.h"

#include <utility>

#include "platform/blit.h"
#include "platform/picture_decoder.h"

namespace hw {

bool DecodedMapPicture::StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                                  int sh) {
  StretchBlt(dst, x, y, w, h, picture_, sx, sy, sw, sh);
  return true;
}

OpenedMapPicture HoldWholePicture(DecodedPicture decoded) {
  if (!decoded.ok()) return {nullptr, decoded.error};
  return {std::make_unique<DecodedMapPicture>(std::move(decoded.picture)), PictureError::kNone};
}

}  // namespace hw

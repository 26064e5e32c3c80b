#include "platform/picture_decoder.h"

#include <memory>
#include <utility>

namespace hw {

OpenedMapPicture HoldWholePicture(DecodedPicture decoded) {
  if (!decoded.ok()) return {nullptr, decoded.error};
  return {std::make_unique<DecodedMapPicture>(std::move(decoded.picture)), PictureError::kNone};
}

}  // namespace hw

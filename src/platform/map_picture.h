#pragma once

#include <memory>
#include <utility>

#include "platform/blit.h"
#include "platform/picture_decoder.h"
#include "platform/surface.h"

namespace hw {

// A map picture held so that a composition decodes only the part it shows.
class MapPicture {
 public:
  virtual ~MapPicture() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  // Stretches the source rectangle (picture pixels) onto (x, y, w, h) of dst as StretchBlt
  // from the whole decoded picture would (HALFTONE), decoding only what it needs. False when
  // the picture data cannot be decoded.
  virtual bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                         int sh) = 0;
};

// A picture decoded whole and held in memory.
class DecodedMapPicture final : public MapPicture {
 public:
  explicit DecodedMapPicture(Surface picture) : picture_(std::move(picture)) {}
  int width() const override { return picture_.width(); }
  int height() const override { return picture_.height(); }
  bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                 int sh) override {
    StretchBlt(dst, x, y, w, h, picture_, sx, sy, sw, sh);
    return true;
  }

 private:
  Surface picture_;
};

struct OpenedMapPicture {
  std::unique_ptr<MapPicture> picture;
  PictureError error = PictureError::kNone;
  bool ok() const { return error == PictureError::kNone && picture != nullptr; }
};

}  // namespace hw

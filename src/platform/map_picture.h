#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/picture_error.h"
#include "platform/surface.h"

namespace hw {

// A map picture held so that a composition decodes only the part it shows. The maps of Japan
// are 11,520 × 8,778 pixels (405 MB decoded); a composition shows a few million of them.
class MapPicture {
 public:
  MapPicture() : serial_(NextSerial()) {}
  virtual ~MapPicture() = default;
  MapPicture(const MapPicture&) = delete;
  MapPicture& operator=(const MapPicture&) = delete;

  // A number no other picture of this run has: what was drawn from a picture can be kept
  // and known for its own even when a new picture takes the old one's address.
  std::uint64_t serial() const { return serial_; }

  // The picture's size in pixels.
  virtual int width() const = 0;
  virtual int height() const = 0;

  // Stretches the source rectangle (sx, sy, sw, sh), in picture pixels, onto (x, y, w, h) of
  // dst as StretchBlt from the whole decoded picture would (HALFTONE: area averaging; black
  // where a footprint lies off the picture; either rectangle may lie partly or wholly off its
  // surface), decoding only what that needs. Non-positive sizes draw nothing. Returns false
  // when the picture data cannot be decoded; the part of the destination rectangle on dst is
  // then black.
  virtual bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw,
                         int sh) = 0;

 private:
  static std::uint64_t NextSerial() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
  }
  const std::uint64_t serial_;
};

// A map picture decoded whole and held as a surface: for pictures that cannot be read in
// parts, and for small ones, where decoding once is cheaper than decoding parts again and
// again. StretchTo is StretchBlt and never fails.
class DecodedMapPicture final : public MapPicture {
 public:
  explicit DecodedMapPicture(Surface picture) : picture_(std::move(picture)) {}

  int width() const override { return picture_.width(); }
  int height() const override { return picture_.height(); }
  bool StretchTo(Surface& dst, int x, int y, int w, int h, int sx, int sy, int sw, int sh) override;

 private:
  Surface picture_;
};

// The outcome of opening a map picture: a picture, or an error and no picture.
struct OpenedMapPicture {
  std::unique_ptr<MapPicture> picture;
  PictureError error = PictureError::kNone;

  bool ok() const { return error == PictureError::kNone && picture != nullptr; }
};

}  // namespace hw

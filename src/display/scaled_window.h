#pragma once

#include <array>
#include <cstdint>

#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// The window's picture at the window's own size. The pages the picture is assembled from are
// stretched to that size once (HALFTONE, as the window would stretch the finished picture)
// per composition, window size and aspect; the fade and the pulse are then blended at the
// window's size, so that a paint moves only the window's pixels. Since the stretch averages
// and the blends are linear, the result is the stretched picture up to rounding.
class ScaledWindow {
 public:
  // The window's size and the part of the display page it shows (page coordinates), for the
  // pages of composition `compositions`. True when any of them changed: the whole picture is
  // then to be assembled again.
  bool Configure(Size window, const Rect& source, std::uint64_t compositions);

  Surface& picture() { return picture_; }
  Size size() const { return {picture_.width(), picture_.height()}; }
  const Rect& source() const { return source_; }

  // Page `page` of `canvas` stretched to the window, made on first use after Configure changed.
  const Surface& Page(const Surface& canvas, int page);

  // The window pixels whose footprint meets `pageRect` (page coordinates), within the window.
  Rect ToWindow(const Rect& pageRect) const;
  // How far, in page pixels, the footprint of a window pixel reaches: the margin of page pixels
  // that must be final around a part of the page before that part is stretched.
  int FootprintMargin() const;
  // Stretches `windowRect` of the picture again from the display page of `canvas`.
  void StretchFromPage(const Surface& canvas, int page, const Rect& windowRect);

 private:
  static constexpr int kPages = 4;
  Surface picture_;
  Rect source_;
  std::uint64_t compositions_ = ~std::uint64_t{0};
  std::array<Surface, kPages> pages_{};
  std::array<bool, kPages> made_{};
};

}  // namespace hw

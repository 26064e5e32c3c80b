#include "display/scaled_window.h"

#include <algorithm>
#include <cmath>

#include "display/layer_surfaces.h"
#include "platform/blit.h"

namespace hw {

bool ScaledWindow::Configure(Size window, const Rect& source, std::uint64_t compositions) {
  const bool resized = window != size();
  if (!resized && source == source_ && compositions == compositions_) return false;
  if (resized) picture_ = Surface(window.width, window.height);
  source_ = source;
  compositions_ = compositions;
  made_.fill(false);
  return true;
}

const Surface& ScaledWindow::Page(const Surface& canvas, int page) {
  const auto slot = static_cast<std::size_t>(std::clamp(page, 0, kPages - 1));
  Surface& scaled = pages_[slot];
  if (!made_[slot]) {
    if (scaled.width() != picture_.width() || scaled.height() != picture_.height()) {
      scaled = Surface(picture_.width(), picture_.height());
    }
    StretchBlt(scaled, 0, 0, scaled.width(), scaled.height(), canvas,
               PageX(static_cast<int>(slot)) + source_.left, source_.top, source_.Width(),
               source_.Height());
    made_[slot] = true;
  }
  return scaled;
}

Rect ScaledWindow::ToWindow(const Rect& pageRect) const {
  if (pageRect.right <= pageRect.left || pageRect.bottom <= pageRect.top) return {};
  const double sx = static_cast<double>(picture_.width()) / source_.Width();
  const double sy = static_cast<double>(picture_.height()) / source_.Height();
  const auto along = [](int value, int origin, double scale) { return (value - origin) * scale; };
  const Rect r{static_cast<int>(std::floor(along(pageRect.left, source_.left, sx))) - 1,
               static_cast<int>(std::floor(along(pageRect.top, source_.top, sy))) - 1,
               static_cast<int>(std::ceil(along(pageRect.right, source_.left, sx))) + 1,
               static_cast<int>(std::ceil(along(pageRect.bottom, source_.top, sy))) + 1};
  return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, picture_.width()),
          std::min(r.bottom, picture_.height())};
}

int ScaledWindow::FootprintMargin() const {
  const double across = static_cast<double>(source_.Width()) / std::max(picture_.width(), 1);
  const double down = static_cast<double>(source_.Height()) / std::max(picture_.height(), 1);
  // A window pixel's own footprint, and that of its neighbour, which ToWindow adds.
  return 2 * static_cast<int>(std::ceil(std::max(across, down))) + 2;
}

void ScaledWindow::StretchFromPage(const Surface& canvas, int page, const Rect& windowRect) {
  StretchBlt(picture_, 0, 0, picture_.width(), picture_.height(), canvas,
             PageX(page) + source_.left, source_.top, source_.Width(), source_.Height(),
             windowRect);
}

}  // namespace hw

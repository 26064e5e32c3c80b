#include "platform/screen_fit.h"

#include <algorithm>

namespace hw {
namespace {

// How much of the window must lie on a screen for the user to grab it.
constexpr int kReachable = 32;

bool Meets(const Rect& window, const Rect& screen) {
  const int width = std::min(window.right, screen.right) - std::max(window.left, screen.left);
  const int height = std::min(window.bottom, screen.bottom) - std::max(window.top, screen.top);
  return width >= std::min(kReachable, window.Width()) &&
         height >= std::min(kReachable, window.Height());
}

// The start of a span of `length` moved to lie within [low, high), or at `low` when it is longer.
int Fit(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

Rect KeepOnScreens(const Rect& window, const std::vector<Rect>& screens, const Rect& workArea) {
  if (std::any_of(screens.begin(), screens.end(),
                  [&](const Rect& screen) { return Meets(window, screen); })) {
    return window;
  }
  const int left = Fit(window.left, window.Width(), workArea.left, workArea.right);
  const int top = Fit(window.top, window.Height(), workArea.top, workArea.bottom);
  return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace hw

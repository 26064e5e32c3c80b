#include "platform/screen_fit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace hw {
namespace {

// The piece of the window's top edge that must show for the user to grab the title bar.
constexpr std::int64_t kGripWidth = 100;
constexpr std::int64_t kGripHeight = 50;

// A rectangle in 64 bits, where no sum of int coordinates overflows.
struct Span {
  std::int64_t left, top, right, bottom;
};

Span Wide(const Rect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

Span Grip(const Span& window) {
  const std::int64_t height = std::max<std::int64_t>(1, window.bottom - window.top);
  return {window.left, window.top, window.right, window.top + std::min(kGripHeight, height)};
}

bool ShowsGrip(const Span& grip, const Span& screen) {
  const std::int64_t width = std::min(grip.right, screen.right) - std::max(grip.left, screen.left);
  const std::int64_t height = std::min(grip.bottom, screen.bottom) - std::max(grip.top, screen.top);
  return width >= std::min(kGripWidth, std::max<std::int64_t>(1, grip.right - grip.left)) &&
         height >= grip.bottom - grip.top;
}

// How far the grip lies from the screen: the squared gap between them, 0 when they meet.
std::int64_t Distance(const Span& grip, const Span& screen) {
  const auto gap = [](std::int64_t low, std::int64_t high, std::int64_t screenLow,
                      std::int64_t screenHigh) -> std::int64_t {
    if (high <= screenLow) return screenLow - high;
    if (low >= screenHigh) return low - screenHigh;
    return 0;
  };
  // Kept below 2^31 each, so the sum of squares cannot overflow.
  const std::int64_t dx = std::min<std::int64_t>(
      gap(grip.left, grip.right, screen.left, screen.right), std::numeric_limits<int>::max());
  const std::int64_t dy = std::min<std::int64_t>(
      gap(grip.top, grip.bottom, screen.top, screen.bottom), std::numeric_limits<int>::max());
  return dx * dx + dy * dy;
}

// The start of a span of `length` moved to lie within [low, high), or at `low` when it is longer.
std::int64_t Fit(std::int64_t start, std::int64_t length, std::int64_t low, std::int64_t high) {
  return std::max(low, std::min(start, high - length));
}

// The area the two rectangles share.
std::int64_t Overlap(const Span& a, const Span& b) {
  const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

std::vector<Span> Areas(const std::vector<Rect>& screens, const Rect& workArea) {
  std::vector<Span> areas;
  for (const Rect& screen : screens) {
    if (screen.Width() > 0 && screen.Height() > 0) areas.push_back(Wide(screen));
  }
  if (areas.empty()) areas.push_back(Wide(workArea));
  return areas;
}

const Span& Nearest(const std::vector<Span>& areas, const Span& grip) {
  return *std::min_element(areas.begin(), areas.end(), [&](const Span& a, const Span& b) {
    return Distance(grip, a) < Distance(grip, b);
  });
}

// The window moved onto `screen`, as far as its size lets it.
Rect MovedOnto(const Span& window, const Span& screen) {
  const std::int64_t width = window.right - window.left;
  const std::int64_t height = window.bottom - window.top;
  const std::int64_t left = Fit(window.left, width, screen.left, screen.right);
  const std::int64_t top = Fit(window.top, height, screen.top, screen.bottom);
  // On the screen the corner is a screen coordinate; the far corner stays in int as far as
  // the size allows.
  const auto clampToInt = [](std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
  };
  return {clampToInt(left), clampToInt(top), clampToInt(left + width), clampToInt(top + height)};
}

}  // namespace

Rect BringOntoScreens(const Rect& window, const std::vector<Rect>& screens, const Rect& workArea) {
  const std::vector<Span> areas = Areas(screens, workArea);
  const Span wide = Wide(window);
  const Span grip = Grip(wide);
  std::int64_t shown = 0;
  const Span* most = nullptr;
  std::int64_t mostShown = 0;
  for (const Span& area : areas) {
    const std::int64_t overlap = Overlap(wide, area);
    shown += overlap;
    if (overlap > mostShown) {
      mostShown = overlap;
      most = &area;
    }
  }
  // In floating point: the sides of any int rectangle multiply beyond 64 bits.
  const double size =
      static_cast<double>(wide.right - wide.left) * static_cast<double>(wide.bottom - wide.top);
  const bool reachable = std::any_of(areas.begin(), areas.end(),
                                     [&](const Span& area) { return ShowsGrip(grip, area); });
  if (reachable && 2.0 * static_cast<double>(shown) >= size) return window;
  return MovedOnto(wide, most != nullptr ? *most : Nearest(areas, grip));
}

Rect PlaceBeside(const Rect& anchor, Size size, const std::vector<Rect>& screens,
                 const Rect& workArea) {
  constexpr std::int64_t kGap = 8;
  const std::vector<Span> areas = Areas(screens, workArea);
  const Span around = Wide(anchor);
  const Span* screen = &Nearest(areas, Grip(around));
  std::int64_t most = 0;
  for (const Span& area : areas) {
    if (const std::int64_t overlap = Overlap(around, area); overlap > most) {
      most = overlap;
      screen = &area;
    }
  }
  const std::int64_t width = size.width;
  const std::int64_t height = size.height;
  const std::int64_t alignedTop = Fit(around.top, height, screen->top, screen->bottom);
  const std::int64_t alignedLeft = Fit(around.left, width, screen->left, screen->right);
  const Span sides[] = {
      {around.right + kGap, alignedTop, around.right + kGap + width, alignedTop + height},
      {around.left - kGap - width, alignedTop, around.left - kGap, alignedTop + height},
      {alignedLeft, around.bottom + kGap, alignedLeft + width, around.bottom + kGap + height},
      {alignedLeft, around.top - kGap - height, alignedLeft + width, around.top - kGap},
  };
  for (const Span& side : sides) {
    if (side.left >= screen->left && side.right <= screen->right && side.top >= screen->top &&
        side.bottom <= screen->bottom) {
      return MovedOnto(side, *screen);
    }
  }
  return MovedOnto({screen->right - width, alignedTop, screen->right, alignedTop + height},
                   *screen);
}

Rect KeepOnScreens(const Rect& window, const std::vector<Rect>& screens, const Rect& workArea) {
  const std::vector<Span> areas = Areas(screens, workArea);
  const Span wide = Wide(window);
  const Span grip = Grip(wide);
  if (std::any_of(areas.begin(), areas.end(),
                  [&](const Span& area) { return ShowsGrip(grip, area); })) {
    return window;
  }
  return MovedOnto(wide, Nearest(areas, grip));
}

}  // namespace hw

#pragma once

#include <vector>

#include "platform/geometry.h"

namespace hw {

// Where a window rectangle (frame included, desktop coordinates) is put so that the user can
// reach it: unchanged while a piece of its top edge, where the title bar lies, shows on one of
// `screens` (their work areas); otherwise moved onto the nearest of them, keeping its size, as
// a window restored on a screen that is gone or stored far off. Without screens, `workArea`
// stands for them. Any int coordinates are taken without overflow.
Rect KeepOnScreens(const Rect& window, const std::vector<Rect>& screens, const Rect& workArea);

// Where a window goes when the screens change under it (one is unplugged, made smaller or
// moved): unchanged while its title bar can be reached and at least half of it shows;
// otherwise moved, keeping its size, to lie wholly on the screen that shows most of it (the
// nearest when none does), its top-left corner on that screen when it is larger.
Rect BringOntoScreens(const Rect& window, const std::vector<Rect>& screens, const Rect& workArea);

// Where a window of `size` goes beside `anchor` (a window's frame) so that it covers none of
// it: to its right, else its left, else below, else above, a small gap apart and lined up with
// its top or left edge as far as the screen allows; on the screen that shows most of the
// anchor. When no side has room, on the right side of that screen, over the anchor.
Rect PlaceBeside(const Rect& anchor, Size size, const std::vector<Rect>& screens,
                 const Rect& workArea);

}  // namespace hw

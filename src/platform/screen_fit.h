#pragma once

#include <vector>

#include "platform/geometry.h"

namespace hw {

// Where a window rectangle (frame included, desktop coordinates) is put so that the user can
// reach it: unchanged when it meets one of `screens`; otherwise moved into `workArea` (the
// primary screen's), keeping its size, as a window restored on a screen that is gone.
Rect KeepOnScreens(const Rect& window, const std::vector<Rect>& screens, const Rect& workArea);

}  // namespace hw

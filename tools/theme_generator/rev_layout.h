#pragma once

#include "settings/theme_layout.h"

namespace hw::themegen {

// The layout of Theme_REV: the program's built-in layout with every box, text and table moved
// to where this theme draws it at 1920 × 1080. The sprites are drawn at the sizes it gives.
ThemeLayout RevLayout();

// Theme_REV with its city table in the list form (City.type 2) instead of the grid: lines
// down the left edge, and the comment table, when a user turns it on (Comm.type 2), running
// on below the list.
void ApplyListForm(ThemeLayout& layout);

}  // namespace hw::themegen

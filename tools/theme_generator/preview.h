#pragma once

#include <vector>

#include "default_theme.h"
#include "platform/surface.h"
#include "platform/text_renderer.h"
#include "settings/theme_layout.h"

namespace hw::themegen {

// A 1920 × 1080 sample picture of the theme: its boxes, badges, markers and texts placed as
// the layout says, over a plain stand-in for the map, for judging the look while drawing.
Surface DrawPreview(const ThemeLayout& layout, const std::vector<SpriteFile>& files,
                    TextRenderer& text);

}  // namespace hw::themegen

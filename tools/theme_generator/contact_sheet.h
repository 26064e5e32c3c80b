#pragma once

#include <vector>

#include "default_theme.h"
#include "platform/surface.h"
#include "platform/text_renderer.h"

namespace hw::themegen {

// One picture of all sprites of a theme, each file under its name and cut into its cells,
// transparent pixels shown as a chequerboard. Files that are wholly transparent are listed
// by name only.
Surface DrawContactSheet(const std::vector<SpriteFile>& files, TextRenderer& text);

}  // namespace hw::themegen

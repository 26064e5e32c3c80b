#pragma once

#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/text_renderer.h"
#include "settings/theme_layout.h"

namespace hw::themegen {

// One picture file of the theme.
struct SpriteFile {
  std::string path;  // relative to the theme folder, "/" separated
  Surface picture;
  // How the picture divides into cells (sheets); 0 × 0 for a single sprite.
  int cellWidth = 0;
  int cellHeight = 0;
};

// Draws every sprite picture of the default theme (all files of the loading table except the
// maps), each at the size `layout` expects of it. Captions that go with the program's own
// texts (the 日, 時 and 分 between the event time's pieces, the "M" before the magnitude) are
// placed by measuring those texts as the program draws them with `layout`'s fonts.
std::vector<SpriteFile> DrawDefaultTheme(const ThemeLayout& layout, TextRenderer& text);

}  // namespace hw::themegen

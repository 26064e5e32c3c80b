#pragma once

#include <string>

#include "settings/theme_layout.h"

namespace hw::tool {

// The theme a working folder's program would use at start-up: the theme named in its settings
// file, or the first theme folder when that one has no layout file.
std::u16string WorkFolderThemeName(const std::u16string& workFolder);

// That theme's layout.
ThemeLayout LoadWorkFolderTheme(const std::u16string& workFolder);

}  // namespace hw::tool

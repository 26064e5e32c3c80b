#pragma once

#include <string>

#include "settings/theme_layout.h"

namespace hw::tool {

// The theme layout a working folder's program would load at start-up: the theme named in its
// settings file, or the first theme folder when that one has no layout file.
ThemeLayout LoadWorkFolderTheme(const std::u16string& workFolder);

}  // namespace hw::tool

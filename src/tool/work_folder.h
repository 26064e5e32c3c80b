#pragma once

#include <string>

#include "platform/work_folder_layout.h"
#include "settings/theme_layout.h"

namespace hw::tool {

// The theme a working folder's program would use at start-up: the theme named in its settings
// file, or the first theme folder when that one has no layout file.
std::u16string WorkFolderThemeName(const WorkFolderLayout& workFolder);

// That theme's layout.
ThemeLayout LoadWorkFolderTheme(const WorkFolderLayout& workFolder);

}  // namespace hw::tool

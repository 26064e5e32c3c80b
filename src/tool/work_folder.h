#pragma once

#include <string>

#include "platform/work_folder_layout.h"
#include "settings/theme_layout.h"
#include "tool/commands.h"

namespace hw::tool {

// The working folder a command works on, as the program would see it: --workdir (else the
// current folder), with the files it does not hold from --runtime (else the installed runtime
// folder).
WorkFolderLayout CommandWorkFolder(const Arguments& args);

// The theme a working folder's program would use at start-up: the theme named in its settings
// file, or the first theme folder when that one has no layout file.
std::u16string WorkFolderThemeName(const WorkFolderLayout& workFolder);

// That theme's layout.
ThemeLayout LoadWorkFolderTheme(const WorkFolderLayout& workFolder);

}  // namespace hw::tool

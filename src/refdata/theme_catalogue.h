#pragma once

#include <array>
#include <string>
#include <string_view>

#include "acquisition/fixed_text.h"
#include "platform/work_folder_layout.h"

namespace hw {

// The theme folders found in the "Theme" folders: at most 100 names of up to 255 characters, in
// listing order.
struct ThemeList {
  static constexpr int kCapacity = 100;
  std::array<FixedText<256>, kCapacity> names{};
  int count = 0;

  std::u16string_view Name(int i) const { return names[static_cast<std::size_t>(i)].View(); }
};

// Rebuilds the list from the sub-folders of `folder` (a path ending in a separator); names that
// begin with "." are skipped. When the folder cannot be listed the list stays as it was.
void ScanThemeFolder(std::u16string_view folder, ThemeList& list);

// Rebuilds the list from the theme folders of the working folder and of the installed runtime
// folder together, sorted by name: the user's own themes and the shipped ones, each name once (a
// user's folder of a shipped theme's name is that theme, with the user's files winning). When
// neither folder can be listed the list stays as it was.
void ScanThemeFolders(const WorkFolderLayout& workingFolder, ThemeList& list);

// The theme start-up uses: rescans the theme folders into `list`, then keeps `name` when its
// folder has a readable "Setting.ini", else takes the first folder found (or the empty name when
// there is none).
std::u16string SelectTheme(const WorkFolderLayout& workingFolder, const std::u16string& name,
                           ThemeList& list);

}  // namespace hw

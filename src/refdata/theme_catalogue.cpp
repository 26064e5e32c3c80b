#include "refdata/theme_catalogue.h"

#include "platform/file_system.h"

namespace hw {

void ScanThemeFolder(std::u16string_view folder, ThemeList& list) {
  const auto entries = ListSubfolders(folder);
  if (!entries) return;
  for (auto& name : list.names)
    name.Clear();
  int count = 0;
  for (const std::u16string& name : *entries) {
    if (count == ThemeList::kCapacity) break;
    if (name.empty() || name[0] == u'.') continue;
    list.names[static_cast<std::size_t>(count++)].Assign(name);
  }
  list.count = count;
}

std::u16string SelectTheme(const WorkFolderLayout& workingFolder, const std::u16string& name,
                           ThemeList& list) {
  ScanThemeFolder(workingFolder.ThemesFolder(), list);
  if (CanOpenForReading(workingFolder.ThemeLayoutFile(name))) return name;
  return list.count > 0 ? std::u16string(list.Name(0)) : u"";
}

}  // namespace hw

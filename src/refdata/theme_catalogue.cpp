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

std::u16string SelectTheme(const std::u16string& workingFolder, const std::u16string& name,
                           ThemeList& list) {
  const std::u16string themes = workingFolder + u"\\Theme\\";
  ScanThemeFolder(themes, list);
  if (CanOpenForReading(themes + name + u"\\Setting.ini")) return name;
  return list.count > 0 ? std::u16string(list.Name(0)) : u"";
}

}  // namespace hw

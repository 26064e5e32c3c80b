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

}  // namespace hw

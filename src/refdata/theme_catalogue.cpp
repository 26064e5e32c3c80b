#include "refdata/theme_catalogue.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

void Fill(const std::vector<std::u16string>& entries, ThemeList& list) {
  for (auto& name : list.names) {
    name.Clear();
  }
  int count = 0;
  for (const std::u16string& name : entries) {
    if (count == ThemeList::kCapacity) break;
    if (name.empty() || name[0] == u'.') continue;
    list.names[static_cast<std::size_t>(count++)].Assign(name);
  }
  list.count = count;
}

}  // namespace

void ScanThemeFolder(std::u16string_view folder, ThemeList& list) {
  if (const auto entries = ListSubfolders(folder)) Fill(*entries, list);
}

void ScanThemeFolders(const WorkFolderLayout& workingFolder, ThemeList& list) {
  auto own = ListSubfolders(workingFolder.ThemesFolder());
  const std::u16string shippedFolder = workingFolder.ShippedThemesFolder();
  auto shipped = shippedFolder.empty() ? std::nullopt : ListSubfolders(shippedFolder);
  if (!own && !shipped) return;
  std::vector<std::u16string> names = own.value_or(std::vector<std::u16string>{});
  if (shipped) names.insert(names.end(), shipped->begin(), shipped->end());
  // The order of one folder's listing (by the names' bytes), for both together.
  std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
    return Utf16ToUtf8(a) < Utf16ToUtf8(b);
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  Fill(names, list);
}

std::u16string SelectTheme(const WorkFolderLayout& workingFolder, const std::u16string& name,
                           ThemeList& list) {
  ScanThemeFolders(workingFolder, list);
  if (CanOpenForReading(workingFolder.ThemeLayoutFile(name))) return name;
  return list.count > 0 ? std::u16string(list.Name(0)) : u"";
}

}  // namespace hw

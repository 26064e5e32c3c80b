#include "tool/work_folder.h"

#include "platform/profile_file.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw::tool {

std::u16string WorkFolderThemeName(const WorkFolderLayout& workFolder) {
  AppSettings settings;
  ReadThemeName(ProfileFile::Load(workFolder.SettingsFile()), settings);
  ThemeList themes;
  return SelectTheme(workFolder, settings.Name, themes);
}

ThemeLayout LoadWorkFolderTheme(const WorkFolderLayout& workFolder) {
  ThemeLayout layout;
  LoadThemeLayout(workFolder.ThemeLayoutFile(WorkFolderThemeName(workFolder)), layout);
  return layout;
}

}  // namespace hw::tool

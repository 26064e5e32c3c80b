#include "tool/work_folder.h"

#include "platform/profile_file.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw::tool {

std::u16string WorkFolderThemeName(const std::u16string& workFolder) {
  AppSettings settings;
  ReadThemeName(ProfileFile::Load(workFolder + u"\\Heronwatch.ini"), settings);
  ThemeList themes;
  return SelectTheme(workFolder, settings.Name, themes);
}

ThemeLayout LoadWorkFolderTheme(const std::u16string& workFolder) {
  ThemeLayout layout;
  LoadThemeLayout(workFolder + u"\\Theme\\" + WorkFolderThemeName(workFolder) + u"\\Setting.ini",
                  layout);
  return layout;
}

}  // namespace hw::tool

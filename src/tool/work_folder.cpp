#include "tool/work_folder.h"

#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw::tool {

ThemeLayout LoadWorkFolderTheme(const std::u16string& workFolder) {
  AppSettings settings;
  ReadThemeName(ProfileFile::Load(workFolder + u"\\Heronwatch.ini"), settings);
  ThemeList themes;
  ScanThemeFolder(workFolder + u"\\Theme\\", themes);
  const std::u16string layoutFile = u"\\Setting.ini";
  if (!CanOpenForReading(workFolder + u"\\Theme\\" + settings.Name + layoutFile)) {
    settings.Name = themes.count > 0 ? std::u16string(themes.Name(0)) : u"";
  }
  ThemeLayout layout;
  LoadThemeLayout(workFolder + u"\\Theme\\" + settings.Name + layoutFile, layout);
  return layout;
}

}  // namespace hw::tool

#include "tool/work_folder.h"

#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/standard_folders.h"
#include "platform/text_codec.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"

namespace hw::tool {

WorkFolderLayout CommandWorkFolder(const Arguments& args) {
  const std::optional<std::string> workdir = args.Value("workdir");
  const std::optional<std::string> runtime = args.Value("runtime");
  return WorkFolderLayout(
      workdir && !workdir->empty() ? Utf8ToUtf16(*workdir) : GetCurrentFolder(),
      runtime && !runtime->empty() ? Utf8ToUtf16(*runtime) : ShippedRuntimeFolder().u16string());
}

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

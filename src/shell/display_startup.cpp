#include "shell/display_startup.h"

#include "platform/profile_file.h"

namespace hw {

bool ReadStartupSettings(const WorkFolderLayout& folder, const Rect& workArea,
                         AppSettings& settings, ThemeLayout& theme, ThemeList& themes) {
  const ProfileFile settingsFile = ProfileFile::Load(folder.SettingsFile());
  ReadThemeName(settingsFile, settings);
  // A theme without a readable layout file gives way to the first theme folder found.
  settings.Name = SelectTheme(folder, settings.Name, themes);
  LoadThemeLayout(folder.ThemeLayoutFile(settings.Name), theme);
  ApplyDefaultPosition(settings, workArea);
  ReadAppSettings(settingsFile, settings);
  return HasStoredPosition(settingsFile);
}

ThemeAssetResult PrepareDisplay(Display& display, ReferenceService& reference,
                                ThemeAssetService& assets) {
  display.CreateFonts();
  reference.ReloadReferenceData();
  display.CreateSurfaces();
  return assets.LoadThemeAssets();
}

}  // namespace hw

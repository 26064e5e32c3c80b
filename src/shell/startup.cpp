#include <cstdio>

#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "platform/text_renderer.h"
#include "settings/app_settings.h"
#include "settings/theme_layout.h"
#include "shell/tremorlens_dlg.h"

namespace hw {
namespace {

std::u16string_view ThemeAssetMessage(ThemeAssetResult code) {
  switch (code) {
    case ThemeAssetResult::kMaxIntensityMissing:
      return u"最大震度用のファイル「MaxIntensity.bmp」が読み込めません";
    case ThemeAssetResult::kJpMap1Missing:
      return u"日本地図(速報用)のファイル「jp_map1.jpg」が読み込めません";
    case ThemeAssetResult::kJpMap2Missing:
      return u"日本地図(確定用)のファイル「jp_map2.jpg」が読み込めません";
    case ThemeAssetResult::kWorldMapMissing:
      return u"世界地図のファイル「world_map.jpg」が読み込めません";
    case ThemeAssetResult::kLoaded:
      break;
  }
  return {};
}

}  // namespace

bool CTremorlensDlg::OnInitDialog() {
  WindowHost& window = platform_.window;
  if (context_.DialogInitialised == 1) return true;

  context_.WorkingFolder.SetRoot(GetCurrentFolder());
  CreateFolder(context_.WorkingFolder.SettingFolder());

  AppSettings& settings = context_.settings;
  const ProfileFile settingsFile = ProfileFile::Load(context_.WorkingFolder.SettingsFile());
  ReadThemeName(settingsFile, settings);

  // A theme without a readable layout file gives way to the first theme folder found.
  settings.Name = SelectTheme(context_.WorkingFolder, settings.Name, context_.themes);
  LoadThemeLayout(context_.WorkingFolder.ThemeLayoutFile(settings.Name), context_.theme);

  ApplyDefaultPosition(settings, window.GetWorkArea());
  ReadAppSettings(settingsFile, settings);
  firstPlacement_ = !HasStoredPosition(settingsFile);

  window.SetLayeredAlpha(0);
  ports_.tray.Add();
  CreateFonts();

  // The refresh runs beside the start; the loop reads the new list when it has come.
  ports_.reference.StartStationRefresh();
  ports_.reference.ReloadReferenceData();

  context_.surfaces.CreateWorkingSurfaces();
  if (const ThemeAssetResult code = ports_.assets.LoadThemeAssets();
      code != ThemeAssetResult::kLoaded) {
    ShowThemeAssetFailure(code);
    return true;
  }
  // Pictures the program goes on without: said on the terminal now, and in the event log when
  // it starts.
  for (const std::u16string& problem : ports_.assets.LoadProblems()) {
    std::fprintf(stderr, "heronwatch: %s\n", Utf16ToUtf8(problem).c_str());
  }

  // The empty boxes over the whole map until a report is composed.
  composer_.ComposeWaiting();
  ShowFeedState();
  SetFrameInterval();
  window.SetTimer(10);
  context_.DialogInitialised = 1;
  return true;
}

void CTremorlensDlg::CreateFonts() {
  const FontSpecs specs = FontSpecsFor(context_.theme);
  for (int i = 0; i < kFontCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    context_.fonts[index] = platform_.text.CreateFont(specs[index]);
  }
}

void CTremorlensDlg::ShowThemeAssetFailure(ThemeAssetResult code) {
  if (const std::u16string_view text = ThemeAssetMessage(code); !text.empty()) {
    platform_.window.MessageBox(text, u"Heronwatch");
  }
  platform_.window.PostClose();
}

}  // namespace hw

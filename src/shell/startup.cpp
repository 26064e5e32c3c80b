#include <cstdio>

#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "platform/text_renderer.h"
#include "settings/app_settings.h"
#include "settings/theme_layout.h"
#include "shell/display_startup.h"
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

  firstPlacement_ = !ReadStartupSettings(context_.WorkingFolder, window.GetWorkArea(),
                                         context_.settings, display_.theme(), context_.themes);
  context_.Paddings = TimePaddingsOf(display_.theme());

  window.SetLayeredAlpha(0);
  ports_.tray.Add();

  // The refresh runs beside the start; the loop reads the new list when it has come.
  ports_.reference.StartStationRefresh();
  if (const ThemeAssetResult code = PrepareDisplay(display_, ports_.reference, ports_.assets);
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
  SyncDisplaySettings();
  display_.ComposeWaiting();
  ShowFeedState();
  SetFrameInterval();
  window.SetTimer(10);
  context_.DialogInitialised = 1;
  return true;
}

void CTremorlensDlg::ShowThemeAssetFailure(ThemeAssetResult code) {
  if (const std::u16string_view text = ThemeAssetMessage(code); !text.empty()) {
    platform_.window.MessageBox(text, u"Heronwatch");
  }
  platform_.window.PostClose();
}

}  // namespace hw

#include "shell/command_menu.h"

namespace hw {

CommandMenu BuildCommandMenu(const AppSettings& settings, int sandboxSwitch) {
  return {
      {kCommandToggleFrame, u"フレーム枠の非表示\tF2", settings.FlameOff == 1},
      {kCommandToggleDrag, u"ドラッグ移動許可\tF6", settings.Drag == 1},
      {},
      {kCommandToggleOnTop, u"常に手前に表示\tF7", settings.Ontop == 1},
      {kCommandToggleAtBack, u"常に背面に表示\tF8", settings.Ontop == 2},
      {},
      {kCommandToggleDemoFile, u"デモ表示 [単体表示]\tF9", settings.Demo == 1},
      {kCommandToggleDemoRotating, u"デモ表示 [複数表示]\tF10", settings.Demo == 2},
      {kCommandToggleSandbox, u"SandBox 実行\tF11", sandboxSwitch == 1},
      {},
      {kCommandSettings, u"設定\tF12", false},
      {kCommandAbout, u"バージョン情報 Heronwatch...", false},
      {},
      {kCommandEnd, u"終了", false},
  };
}

}  // namespace hw

// The texts of the shell, which knows no Qt, are translated where the Qt side shows them: the
// command menu's labels in FillCommandMenu (context "CommandMenu", the key name after the tab
// left out), message boxes in the main window (context "Messages") and the manual's file name
// in QtUserInterface::OpenDocument (context "Documents"). This list only shows them to the
// translation tools; a text missing here stays Japanese in every language.

#include <QtGlobal>

namespace hw {
namespace {

[[maybe_unused]] constexpr const char* kShellTexts[] = {
    QT_TRANSLATE_NOOP("CommandMenu", "選択"),
    QT_TRANSLATE_NOOP("CommandMenu", "フレーム枠の非表示"),
    QT_TRANSLATE_NOOP("CommandMenu", "ドラッグ移動許可"),
    QT_TRANSLATE_NOOP("CommandMenu", "常に手前に表示"),
    QT_TRANSLATE_NOOP("CommandMenu", "常に背面に表示"),
    QT_TRANSLATE_NOOP("CommandMenu", "デモ表示 [単体表示]"),
    QT_TRANSLATE_NOOP("CommandMenu", "デモ表示 [複数表示]"),
    QT_TRANSLATE_NOOP("CommandMenu", "SandBox 実行"),
    QT_TRANSLATE_NOOP("CommandMenu", "設定"),
    QT_TRANSLATE_NOOP("CommandMenu", "バージョン情報 Heronwatch..."),
    QT_TRANSLATE_NOOP("CommandMenu", "終了"),

    QT_TRANSLATE_NOOP("Messages", "ファイルを開けません。"),
    QT_TRANSLATE_NOOP("Messages", "このアプリは起動済みです。"),
    QT_TRANSLATE_NOOP("Messages", "最大震度用のファイル「MaxIntensity.bmp」が読み込めません"),
    QT_TRANSLATE_NOOP("Messages", "日本地図(速報用)のファイル「jp_map1.jpg」が読み込めません"),
    QT_TRANSLATE_NOOP("Messages", "日本地図(確定用)のファイル「jp_map2.jpg」が読み込めません"),
    QT_TRANSLATE_NOOP("Messages", "世界地図のファイル「world_map.jpg」が読み込めません"),

    QT_TRANSLATE_NOOP("Documents", "取扱説明書.txt"),
};

}  // namespace
}  // namespace hw

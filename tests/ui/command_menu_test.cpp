#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <vector>

#include "english_texts.h"
#include "ui/command_menu_widget.h"
#include "ui/tray_icon.h"

namespace hw {
namespace {

struct ShownItem {
  int id;  // 0: separator
  const char16_t* text;
  bool checkable;
};

// The menu as the user sees it: every label with its key after a tab, in order.
const ShownItem kMenu[] = {
    {kCommandToggleFrame, u"フレーム枠の非表示\tF2", true},
    {kCommandToggleDrag, u"ドラッグ移動許可\tF6", true},
    {0, u"", false},
    {kCommandToggleOnTop, u"常に手前に表示\tF7", true},
    {kCommandToggleAtBack, u"常に背面に表示\tF8", true},
    {0, u"", false},
    {kCommandToggleDemoFile, u"デモ表示 [単体表示]\tF9", true},
    {kCommandToggleDemoRotating, u"デモ表示 [複数表示]\tF10", true},
    {kCommandToggleSandbox, u"SandBox 実行\tF11", true},
    {0, u"", false},
    {kCommandSettings, u"設定\tF12", false},
    {kCommandAbout, u"バージョン情報 Heronwatch...", false},
    {0, u"", false},
    {kCommandEnd, u"終了", false},
};

std::vector<int> CheckedIds(const QMenu& menu) {
  std::vector<int> ids;
  for (const QAction* action : menu.actions()) {
    if (action->isChecked()) ids.push_back(action->data().toInt());
  }
  return ids;
}

TEST(CommandMenuWidget, ShowsEveryItemWithItsKeyAndMarks) {
  AppSettings settings;
  settings.FlameOff = 1;
  settings.Ontop = 2;
  settings.Demo = 2;
  QMenu menu;
  int chosen = 0;
  FillCommandMenu(menu, BuildCommandMenu(settings, 1), [&](int id) { chosen = id; });

  EXPECT_EQ(menu.title(), QStringLiteral("選択"));
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(kMenu)));
  for (std::size_t i = 0; i < std::size(kMenu); ++i) {
    const QAction& action = *actions[static_cast<qsizetype>(i)];
    SCOPED_TRACE(i);
    EXPECT_EQ(action.isSeparator(), kMenu[i].id == 0);
    if (kMenu[i].id == 0) continue;
    EXPECT_EQ(action.data().toInt(), kMenu[i].id);
    EXPECT_EQ(action.text(), QString::fromUtf16(kMenu[i].text));
    EXPECT_EQ(action.isCheckable(), kMenu[i].checkable);
  }
  EXPECT_EQ(CheckedIds(menu),
            (std::vector<int>{kCommandToggleFrame, kCommandToggleAtBack, kCommandToggleDemoRotating,
                              kCommandToggleSandbox}));
  actions.back()->trigger();
  EXPECT_EQ(chosen, kCommandEnd);

  // Filled again, the menu shows only the marks of now.
  FillCommandMenu(menu, BuildCommandMenu(AppSettings{}, 0), [](int) {});
  EXPECT_EQ(CheckedIds(menu), std::vector<int>{kCommandToggleOnTop});
  EXPECT_EQ(menu.actions().size(), static_cast<qsizetype>(std::size(kMenu)));
}

// With the English translation every label is English and keeps its key name after the tab.
TEST(CommandMenuWidget, EnglishLabelsKeepTheirKeys) {
  const test::EnglishTexts english;
  ASSERT_TRUE(english.installed());
  QMenu menu;
  FillCommandMenu(menu, BuildCommandMenu(AppSettings{}, 0), [](int) {});
  EXPECT_EQ(menu.title(), QStringLiteral("Select"));
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(kMenu)));
  for (std::size_t i = 0; i < std::size(kMenu); ++i) {
    if (kMenu[i].id == 0) continue;
    const QString text = actions[static_cast<qsizetype>(i)]->text();
    SCOPED_TRACE(text.toStdString());
    EXPECT_FALSE(test::HasJapanese(text));
    EXPECT_FALSE(text.isEmpty());
    const QString japanese = QString::fromUtf16(kMenu[i].text);
    const qsizetype tab = japanese.indexOf(u'\t');
    if (tab >= 0) {
      EXPECT_TRUE(text.endsWith(japanese.mid(tab)));
    } else {
      EXPECT_FALSE(text.contains(u'\t'));
    }
  }
  EXPECT_EQ(actions.front()->text(), QStringLiteral("Hide window frame\tF2"));
}

// The main window as the tray sees it.
class FakeCommandTarget final : public CommandTarget {
 public:
  CommandMenu CurrentMenu() override { return BuildCommandMenu(settings, 0); }
  void OnCommand(int id) override { commands.push_back(id); }
  AppSettings settings;
  std::vector<int> commands;
};

TEST(TrayIcon, MenuShowsTheMarksOfTheMomentItOpens) {
  FakeCommandTarget target;
  QtTrayIcon tray;
  tray.SetCommandTarget(&target);
  // The program's name until the window tells the feed's state.
  EXPECT_EQ(tray.icon().toolTip(), QStringLiteral("Heronwatch"));
  tray.SetToolTip(u"Heronwatch\n受信待ち");
  EXPECT_EQ(tray.icon().toolTip(), QStringLiteral("Heronwatch\n") + QString::fromUtf8("受信待ち"));
  EXPECT_FALSE(tray.icon().icon().isNull());
  EXPECT_EQ(tray.icon().contextMenu(), &tray.menu());

  // Modes changed by keys after the menu was last filled.
  target.settings.Drag = 1;
  target.settings.Ontop = 0;
  Q_EMIT tray.menu().aboutToShow();
  EXPECT_EQ(CheckedIds(tray.menu()), std::vector<int>{kCommandToggleDrag});
  tray.menu().actions().front()->trigger();
  EXPECT_EQ(target.commands, std::vector<int>{kCommandToggleFrame});
  tray.SetCommandTarget(nullptr);
}

}  // namespace
}  // namespace hw

#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <tuple>
#include <vector>

#include "english_texts.h"
#include "fakes/scoped_environment.h"
#include "fakes/temp_folder.h"
#include "platform/autostart_entry.h"
#include "platform/geometry.h"
#include "ui/qt_user_interface.h"

// Readable values in gtest's failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace hw {
namespace {

constexpr int kExtraWidth = 10;
constexpr int kExtraHeight = 30;
// [Position] at opening: a 640 × 480 client area at (100, 50).
constexpr Rect kOpening{100, 50, 100 + 640 + kExtraWidth, 50 + 480 + kExtraHeight};

// The main window as the dialog sees it; records what the dialog asks of it.
class FakeSettingsLink final : public SettingsDialogLink {
 public:
  AppSettings& Settings() override { return settings; }
  const ThemeList& Themes() override { return themes; }
  int FrameExtraWidth() override { return kExtraWidth; }
  int FrameExtraHeight() override { return kExtraHeight; }
  void ApplyWindowGeometry() override {
    placements.push_back({settings.Left, settings.Top, settings.Right, settings.Bottom});
  }
  void SetFrameInterval() override { ++frameIntervalRuns; }
  void FetchAtNextSecond() override { fetchReloads.push_back(settings.Reload); }
  void InvalidateWindow() override { ++invalidations; }
  StreamServerState StreamStatus() override { return streamState; }

  void SetThemes(std::initializer_list<const char16_t*> names) {
    themes = {};
    for (const char16_t* name : names)
      themes.names[static_cast<std::size_t>(themes.count++)].Assign(name);
  }

  AppSettings settings;
  ThemeList themes;
  // [Position] at each ApplyWindowGeometry.
  std::vector<Rect> placements;
  int frameIntervalRuns = 0;
  // [Config] Reload at each FetchAtNextSecond: the fetch phase is derived from it.
  std::vector<int> fetchReloads;
  int invalidations = 0;
  StreamServerState streamState;
};

class NoCommands final : public CommandTarget {
 public:
  CommandMenu CurrentMenu() override { return {}; }
  void OnCommand(int) override {}
};

QString Q(const char16_t* text) {
  return QString::fromUtf16(text);
}

QStringList Entries(const QComboBox* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i)
    entries << list->itemText(i);
  return entries;
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() {
    Reset();
    ui.Connect(commands, link);
  }

  // The settings at opening, and nothing recorded yet.
  void Reset() {
    AppSettings& s = link.settings;
    s = {};
    s.Left = kOpening.left;
    s.Top = kOpening.top;
    s.Right = kOpening.right;
    s.Bottom = kOpening.bottom;
    s.Aspect = 2;
    s.SpeedDraw = 1;
    s.ShindoMap = 2;
    s.Reload = 60;
    s.SpeedScroll = 5;
    s.StaJson = 1;
    s.SiJson = 0;
    s.EpiFront = 1;
    s.EpiBlink = 1;
    s.Name = u"Theme_REV";
    link.SetThemes({u"Theme_REV", u"alpha", u"Zeta"});
    link.placements.clear();
    link.fetchReloads.clear();
    link.frameIntervalRuns = 0;
    link.invalidations = 0;
    refusals.clear();
  }

  // Opens the dialog as the settings command does and waits until its first tick has filled it.
  void Open() {
    ui.OpenSettingsDialog();
    dialog = ui.settingsDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->SetRefusalNotice([this](const QString& text) { refusals.push_back(text); });
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Edit(1000)->text().isEmpty(); }));
  }

  template <class Widget>
  Widget* Control(const QString& name) {
    auto* widget = dialog->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QLineEdit* Edit(int id) { return Control<QLineEdit>(QStringLiteral("edit%1").arg(id)); }
  QComboBox* List(int id) { return Control<QComboBox>(QStringLiteral("combo%1").arg(id)); }
  QCheckBox* Check(int id) { return Control<QCheckBox>(QStringLiteral("check%1").arg(id)); }
  QRadioButton* Radio(int id) { return Control<QRadioButton>(QStringLiteral("radio%1").arg(id)); }
  QPushButton* Button(int id) { return Control<QPushButton>(QStringLiteral("button%1").arg(id)); }
  QPushButton* Button(const QString& name) {
    return Control<QPushButton>(QStringLiteral("button") + name);
  }

  void Focus(QWidget* widget) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    widget->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }));
  }
  // Types `text` over the whole content of `edit`, key by key.
  void Type(QLineEdit* edit, const QString& text) {
    Focus(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
  bool WaitClosed() {
    return QTest::qWaitFor([this] { return dialog.isNull(); });
  }
  Rect Position() const {
    const AppSettings& s = link.settings;
    return {s.Left, s.Top, s.Right, s.Bottom};
  }

  // The autostart entry OK writes lies in a folder of the test's own.
  test::TempFolder config;
  test::ScopedEnv xdgConfig{"XDG_CONFIG_HOME", config.path().string()};
  // Declared first so that it outlives the dialog, which the interface deletes.
  FakeSettingsLink link;
  NoCommands commands;
  QWidget owner;
  QtUserInterface ui{owner};
  QPointer<CTremorlensConfig> dialog;
  std::vector<QString> refusals;
};

TEST_F(SettingsDialogTest, ShowsEveryTextWithItsControl) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(dialog->windowTitle(), Q(u"詳細設定"));
  EXPECT_FALSE(dialog->isModal());

  const struct {
    const char16_t* name;
    const char16_t* text;
  } controls[] = {
      {u"radio1004", u"  16：9"},
      {u"radio1005", u"  4：3"},
      {u"radio1006", u"  16：10"},
      {u"check1013", u"  震度情報の手前側に震央を表示"},
      {u"check1014", u"  震央を点滅表示させる"},
      {u"check1011", u"  観測点の座標データを保存する (Stations.ini)"},
      {u"check1012", u"  最新の地震データを保存する (history.json)"},
      {u"check1030", u"  デスクトップの起動時に開始する"},
      {u"button1", u"OK"},
      {u"button2", u"前回の設定"},
      {u"button1010", u"初期値"},
      {u"buttonFitHeight", u"高さをアスペクトに合わせる"},
  };
  for (const auto& control : controls) {
    const auto* button = Control<QAbstractButton>(Q(control.name));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), Q(control.text)) << Q(control.name).toStdString();
  }
  EXPECT_TRUE(Button(1)->isDefault());

  QStringList labels;
  for (const QLabel* label : dialog->findChildren<QLabel*>())
    labels << label->text();
  for (const QGroupBox* group : dialog->findChildren<QGroupBox*>())
    labels << group->title();
  for (const char16_t* text : {u"  ウインドウ枠  ",
                               u"X座標 ：",
                               u"Y座標 ：",
                               u"幅　 ：",
                               u"高さ ：",
                               u"  アスペクト設定  ",
                               u"  速度設定  ",
                               u"画面更新",
                               u"送り文字数",
                               u"文字",
                               u"(30fps 換算)",
                               u"  地震情報設定  ",
                               u"情報取得周期",
                               u"秒",
                               u"  テーマ設定 (アプリの再起動が必要)  ",
                               u"選択 ：",
                               u"  震度マップ設定  ",
                               u"表示タイプ ：",
                               u"  震央表示設定  ",
                               u"  保存オプション (起動時にも保存)  ",
                               u"[3時半頃に取得 (反映)＆保存]",
                               u"[地震情報の更新時、保存]"}) {
    EXPECT_TRUE(labels.contains(Q(text))) << Q(text).toStdString();
  }

  EXPECT_EQ(Entries(List(1008)), (QStringList{QStringLiteral("10 fps"), QStringLiteral("15 fps"),
                                              QStringLiteral("20 fps"), QStringLiteral("24 fps"),
                                              QStringLiteral("30 fps"), Q(u"アニメなし")}));
  EXPECT_EQ(Entries(List(1015)),
            (QStringList{Q(u"都道府県＋観測地点"), Q(u"都道府県"), Q(u"観測地点")}));
}

// With the English translation no text the dialog shows is Japanese, and the refusal says so in
// English too. The aspect ratios ("16：9") are the same in both languages.
TEST_F(SettingsDialogTest, EnglishTranslationLeavesNoJapaneseText) {
  const test::EnglishTexts english;
  ASSERT_TRUE(english.installed());
  ASSERT_NO_FATAL_FAILURE(Open());

  QStringList texts{dialog->windowTitle()};
  for (const QLabel* label : dialog->findChildren<QLabel*>())
    texts << label->text();
  for (const QGroupBox* group : dialog->findChildren<QGroupBox*>())
    texts << group->title();
  for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
    // The tab bar's scroll arrows have no text; the tabs' names are read below.
    if (qobject_cast<const QTabBar*>(button->parent()) == nullptr) texts << button->text();
  }
  for (const QTabWidget* pages : dialog->findChildren<QTabWidget*>()) {
    for (int i = 0; i < pages->count(); ++i)
      texts << pages->tabText(i);
  }
  // The theme list holds folder names, not texts of the program.
  for (const QComboBox* list : dialog->findChildren<QComboBox*>()) {
    if (list != List(1016)) texts << Entries(list);
  }
  EXPECT_GT(texts.size(), 50);
  for (const QString& text : texts) {
    EXPECT_FALSE(test::HasJapanese(text)) << text.toStdString();
    EXPECT_FALSE(text.trimmed().isEmpty());
  }
  EXPECT_EQ(Button(2)->text(), QStringLiteral("Previous settings"));
  EXPECT_EQ(Control<QComboBox>(QStringLiteral("comboNotifyMinScale"))->itemText(4),
            QStringLiteral("Intensity 5 lower"));

  Type(Edit(1007), QStringLiteral("-"));
  Button(1)->click();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(refusals, std::vector<QString>{QStringLiteral("Please enter an integer.")});
}

TEST_F(SettingsDialogTest, FirstTickFillsTheControlsFromTheSettings) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(Edit(1000)->text(), QStringLiteral("100"));
  EXPECT_EQ(Edit(1001)->text(), QStringLiteral("50"));
  EXPECT_EQ(Edit(1002)->text(), QStringLiteral("640"));
  EXPECT_EQ(Edit(1003)->text(), QStringLiteral("480"));
  EXPECT_EQ(Edit(1007)->text(), QStringLiteral("60"));
  EXPECT_EQ(Edit(1009)->text(), QStringLiteral("5"));
  EXPECT_TRUE(Radio(1006)->isChecked());
  EXPECT_EQ(List(1008)->currentIndex(), 1);
  EXPECT_EQ(List(1015)->currentIndex(), 2);
  EXPECT_EQ(List(1016)->currentText(), QStringLiteral("Theme_REV"));
  EXPECT_TRUE(Check(1013)->isChecked());
  EXPECT_TRUE(Check(1014)->isChecked());
  EXPECT_TRUE(Check(1014)->isEnabled());
  EXPECT_TRUE(Check(1011)->isChecked());
  EXPECT_FALSE(Check(1012)->isChecked());
  // Filling shows the settings; it moves nothing.
  EXPECT_TRUE(link.placements.empty());
  EXPECT_EQ(Position(), kOpening);
}

TEST_F(SettingsDialogTest, ThemeListIsSortedAndPreselectsTheEqualNameElseTheFirst) {
  const struct {
    const char16_t* name;
    const char16_t* preselected;
  } cases[] = {
      {u"Zeta", u"Zeta"},
      {u"Missing", u"alpha"},
      {u"theme_rev", u"alpha"},  // the comparison is exact
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Q(c.name).toStdString());
    link.settings.Name = c.name;
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Entries(List(1016)),
              (QStringList{QStringLiteral("alpha"), QStringLiteral("Theme_REV"),
                           QStringLiteral("Zeta")}));
    EXPECT_EQ(List(1016)->currentText(), Q(c.preselected));
    dialog->close();
    ASSERT_TRUE(WaitClosed());
  }
}

TEST_F(SettingsDialogTest, OkWithNoThemeToChooseKeepsTheThemeName) {
  link.SetThemes({});
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(List(1016)->currentIndex(), -1);
  Button(1)->click();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(link.settings.Name, u"Theme_REV");
}

// A typed width or height is applied when the typing pauses or leaves the edit, never number
// by number on the way (8, 80, 800); 前回の設定 puts the window back.
TEST_F(SettingsDialogTest, TypedSizeMovesTheEdgeWhenTheTypingPausesAndRevertPutsItBack) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1002), QStringLiteral("800"));
  EXPECT_TRUE(link.placements.empty());
  ASSERT_TRUE(QTest::qWaitFor([this] { return !link.placements.empty(); }));
  const Rect wider{kOpening.left, kOpening.top, kOpening.left + 800 + kExtraWidth, kOpening.bottom};
  EXPECT_EQ(link.placements, std::vector<Rect>{wider});
  EXPECT_EQ(Position(), wider);

  // Leaving the edit applies what was typed at once.
  Type(Edit(1003), QStringLiteral("450"));
  EXPECT_EQ(link.placements.size(), 1u);
  Press(Qt::Key_Tab);
  ASSERT_EQ(link.placements.size(), 2u);
  EXPECT_EQ(link.placements.back(),
            (Rect{wider.left, wider.top, wider.right, kOpening.top + 450 + kExtraHeight}));

  Button(2)->click();
  EXPECT_EQ(link.placements.back(), kOpening);
  EXPECT_EQ(Edit(1002)->text(), QStringLiteral("640"));
  EXPECT_TRUE(dialog->isVisible());
}

// The button makes the client area's height fit its width for the aspect chosen in the dialog,
// and the window takes it at once.
TEST_F(SettingsDialogTest, FitHeightToTheAspectChosen) {
  const struct {
    int radio;
    const char* height;
  } cases[] = {{1004, "450"}, {1005, "600"}, {1006, "500"}};
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1002), QStringLiteral("800"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.radio);
    Radio(c.radio)->click();
    Button(QStringLiteral("FitHeight"))->click();
    EXPECT_EQ(Edit(1003)->text(), QString::fromLatin1(c.height));
    EXPECT_EQ(link.placements.back(),
              (Rect{kOpening.left, kOpening.top, kOpening.left + 800 + kExtraWidth,
                    kOpening.top + QString::fromLatin1(c.height).toInt() + kExtraHeight}));
  }
}

// The window moved or sized by the window manager while the dialog is open: the geometry edits
// show where it is, so that OK does not move it back; an edit the user is in keeps its text.
TEST_F(SettingsDialogTest, GeometryEditsFollowTheWindowWhileTheUserIsNotInThem) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_NO_FATAL_FAILURE(Focus(Edit(1000)));
  const Rect moved{741, 420, 741 + 640 + kExtraWidth, 420 + 480 + kExtraHeight};
  link.settings.Left = moved.left;
  link.settings.Top = moved.top;
  link.settings.Right = moved.right;
  link.settings.Bottom = moved.bottom;
  // A tick of the dialog's timer has passed once the blink rule has acted.
  Check(1013)->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Check(1014)->isEnabled(); }));
  EXPECT_EQ(Edit(1000)->text(), QStringLiteral("100"));
  ASSERT_NO_FATAL_FAILURE(Focus(List(1008)));
  ASSERT_TRUE(QTest::qWaitFor([this] { return Edit(1000)->text() == QStringLiteral("741"); }));
  EXPECT_EQ(Edit(1001)->text(), QStringLiteral("420"));
  EXPECT_EQ(Edit(1002)->text(), QStringLiteral("640"));
  Button(1)->click();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(Position(), moved);
}

// The dialog opens where it was closed.
TEST_F(SettingsDialogTest, OpensWhereItWasLastClosed) {
  ASSERT_NO_FATAL_FAILURE(Open());
  dialog->move(40, 30);
  const QPoint closedAt = dialog->pos();
  dialog->close();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(ui.dialogPlace(), std::optional<QPoint>(closedAt));
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(dialog->pos(), closedAt);
}

TEST_F(SettingsDialogTest, TextOnItsWayToANumberLeavesTheWindowAlone) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Focus(Edit(1000));
  Edit(1000)->selectAll();
  Press(Qt::Key_Backspace);
  QTest::keyClicks(Edit(1000), QStringLiteral("-"));
  EXPECT_EQ(Edit(1000)->text(), QStringLiteral("-"));
  EXPECT_TRUE(link.placements.empty());
  EXPECT_TRUE(refusals.empty());

  QTest::keyClicks(Edit(1000), QStringLiteral("7"));
  ASSERT_FALSE(link.placements.empty());
  EXPECT_EQ(link.placements.back(), (Rect{-7, 50, -7 + 640 + kExtraWidth, kOpening.bottom}));
  // Letters never reach the edit.
  QTest::keyClicks(Edit(1000), QStringLiteral("x"));
  EXPECT_EQ(Edit(1000)->text(), QStringLiteral("-7"));
}

TEST_F(SettingsDialogTest, ArrowKeysStepTheFocusedGeometryField) {
  const struct {
    int edit;
    Rect after;  // after Up, Up, Down
  } cases[] = {
      {1000, {101, 50, 751, 560}},
      {1001, {100, 51, 750, 561}},
      {1002, {100, 50, 751, 560}},
      {1003, {100, 50, 750, 561}},
  };
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edit);
    Button(2)->click();
    const QString before = Edit(c.edit)->text();
    ASSERT_NO_FATAL_FAILURE(Focus(Edit(c.edit)));
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    EXPECT_EQ(Edit(c.edit)->text().toInt(), before.toInt() + 2);
    Press(Qt::Key_Down);
    EXPECT_EQ(Edit(c.edit)->text().toInt(), before.toInt() + 1);
    EXPECT_EQ(link.placements.back(), c.after);
  }
}

TEST_F(SettingsDialogTest, ArrowKeyOutsideTheGeometryEditsStoresGeometryAndGoesOn) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_NO_FATAL_FAILURE(Focus(List(1008)));
  Press(Qt::Key_Up);
  ASSERT_EQ(link.placements.size(), 1U);
  EXPECT_EQ(link.placements.back(), kOpening);
  // The list had the key as well.
  EXPECT_EQ(List(1008)->currentIndex(), 0);
}

TEST_F(SettingsDialogTest, GeometryPastTheIntRangeWrapsAround) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1000), QString::number(INT_MAX));
  EXPECT_EQ(link.settings.Right,
            static_cast<std::int32_t>(std::int64_t{INT_MAX} + 640 + kExtraWidth));
  Press(Qt::Key_Up);
  EXPECT_EQ(Edit(1000)->text(), QString::number(INT_MIN));
  EXPECT_EQ(link.settings.Left, INT_MIN);
}

TEST_F(SettingsDialogTest, ClearingTheFrontCheckBoxTurnsTheBlinkOffAtOnce) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Check(1013)->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Check(1014)->isEnabled(); }));
  EXPECT_FALSE(Check(1014)->isChecked());
  EXPECT_EQ(link.settings.EpiBlink, 0);
  EXPECT_EQ(link.settings.EpiFront, 1);

  Check(1013)->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return Check(1014)->isEnabled(); }));
  EXPECT_FALSE(Check(1014)->isChecked());
}

TEST_F(SettingsDialogTest, NoFrontAtOpeningTurnsTheBlinkOff) {
  link.settings.EpiFront = 0;
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(link.settings.EpiBlink, 0);
  EXPECT_FALSE(Check(1014)->isChecked());
  EXPECT_FALSE(Check(1014)->isEnabled());
}

TEST_F(SettingsDialogTest, CloseBoxKeepsWhatWasAppliedAndLeavesTheRest) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1003), QStringLiteral("300"));
  Type(Edit(1007), QStringLiteral("30"));
  Radio(1004)->click();
  List(1008)->setCurrentIndex(5);
  Check(1013)->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Check(1014)->isEnabled(); }));

  dialog->close();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(ui.settingsDialog(), nullptr);
  EXPECT_EQ(Position(), (Rect{100, 50, 750, 50 + 300 + kExtraHeight}));
  EXPECT_EQ(link.settings.EpiBlink, 0);
  EXPECT_EQ(link.settings.EpiFront, 1);
  EXPECT_EQ(link.settings.Reload, 60);
  EXPECT_EQ(link.settings.Aspect, 2);
  EXPECT_EQ(link.settings.SpeedDraw, 1);
  EXPECT_EQ(link.frameIntervalRuns, 1);
  EXPECT_TRUE(link.fetchReloads.empty());
}

TEST_F(SettingsDialogTest, OkLimitsPeriodAndScrollAndStoresEveryValue) {
  const struct {
    const char* period;
    const char* scroll;
    int reload;
    int speedScroll;
  } cases[] = {
      {"0", "0", 1, 1},
      {"500", "20", 180, 10},
      {"180", "1", 180, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.period);
    Reset();
    link.settings.EpiFront = 0;
    ASSERT_NO_FATAL_FAILURE(Open());
    Type(Edit(1007), QString::fromLatin1(c.period));
    Type(Edit(1009), QString::fromLatin1(c.scroll));
    Type(Edit(1001), QStringLiteral("70"));
    Radio(1005)->click();
    List(1008)->setCurrentIndex(0);
    List(1015)->setCurrentIndex(1);
    List(1016)->setCurrentIndex(2);
    Check(1013)->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Check(1014)->isEnabled(); }));
    Check(1014)->click();
    Check(1011)->click();
    Check(1012)->click();
    Button(1)->click();
    ASSERT_TRUE(WaitClosed());

    const AppSettings& s = link.settings;
    EXPECT_EQ(s.Reload, c.reload);
    EXPECT_EQ(s.SpeedScroll, c.speedScroll);
    EXPECT_EQ(link.fetchReloads, std::vector<int>{c.reload});
    EXPECT_EQ(s.Aspect, 1);
    EXPECT_EQ(s.SpeedDraw, 0);
    EXPECT_EQ(s.ShindoMap, 1);
    EXPECT_EQ(s.Name, u"Zeta");
    EXPECT_EQ(s.EpiFront, 1);
    EXPECT_EQ(s.EpiBlink, 1);
    EXPECT_EQ(s.StaJson, 0);
    EXPECT_EQ(s.SiJson, 1);
    EXPECT_EQ(link.placements.back(), (Rect{100, 70, 750, 70 + 480 + kExtraHeight}));
    EXPECT_EQ(link.invalidations, 1);
    EXPECT_EQ(link.frameIntervalRuns, 1);
    EXPECT_TRUE(refusals.empty());
  }
}

TEST_F(SettingsDialogTest, OkWithAnEditThatHoldsNoIntegerWarnsOnceAndKeepsItsField) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1007), QStringLiteral("-"));
  Focus(Edit(1009));
  Edit(1009)->selectAll();
  Press(Qt::Key_Delete);
  EXPECT_TRUE(refusals.empty());

  Button(1)->click();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(refusals, std::vector<QString>{Q(u"整数を入力してください。")});
  EXPECT_EQ(link.settings.Reload, 60);
  EXPECT_EQ(link.settings.SpeedScroll, 5);
}

TEST_F(SettingsDialogTest, InitialValuesAreShownAndOnlyTheGeometryIsStored) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1000), QStringLiteral("300"));
  List(1016)->setCurrentIndex(0);

  Button(1010)->click();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(Radio(1004)->isChecked());
  EXPECT_EQ(Edit(1000)->text(), QStringLiteral("100"));
  EXPECT_EQ(Edit(1002)->text(), QStringLiteral("640"));
  EXPECT_EQ(Edit(1007)->text(), QStringLiteral("2"));
  EXPECT_EQ(Edit(1009)->text(), QStringLiteral("3"));
  EXPECT_EQ(List(1008)->currentText(), QStringLiteral("30 fps"));
  EXPECT_EQ(List(1015)->currentText(), Q(u"都道府県＋観測地点"));
  EXPECT_EQ(List(1016)->currentText(), QStringLiteral("Theme_REV"));
  EXPECT_TRUE(Check(1013)->isChecked());
  EXPECT_TRUE(Check(1014)->isChecked());
  EXPECT_FALSE(Check(1011)->isChecked());
  EXPECT_FALSE(Check(1012)->isChecked());

  EXPECT_EQ(link.placements.back(), kOpening);
  const AppSettings& s = link.settings;
  EXPECT_EQ(s.Aspect, 2);
  EXPECT_EQ(s.Reload, 60);
  EXPECT_EQ(s.SpeedScroll, 5);
  EXPECT_EQ(s.SpeedDraw, 1);
  EXPECT_EQ(s.StaJson, 1);
}

TEST_F(SettingsDialogTest, AutostartCheckBoxKeepsTheEntryOnOk) {
  namespace fs = std::filesystem;
  const fs::path entry = AutostartEntryPath();
  const std::string program = QCoreApplication::applicationFilePath().toStdString();
  const struct {
    const char* name;
    int opening;            // [Flag] Autostart when the dialog opens
    bool autostartIsAFile;  // the entry's folder cannot be made
    bool click;             // the check box is clicked before OK
    int setting;            // [Flag] Autostart after OK
    bool entry;             // an entry is there after OK
    bool notice;            // a message box says what failed
  } cases[] = {
      {"turned on", 0, false, true, 1, true, false},
      {"kept on rewrites the entry", 1, false, false, 1, true, false},
      {"turned off", 1, false, true, 0, false, false},
      {"left off touches nothing", 0, false, false, 0, false, false},
      {"folder cannot be made", 0, true, true, 0, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    fs::remove_all(config.path() / "autostart");
    if (c.autostartIsAFile) config.Write("autostart", "not a folder");
    if (c.opening == 1) config.Write(entry.lexically_relative(config.path()), "Exec=/old/path\n");
    link.settings.Autostart = c.opening;
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Check(1030)->isChecked(), c.opening == 1);
    if (c.click) Check(1030)->click();
    Button(1)->click();
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(link.settings.Autostart, c.setting);
    EXPECT_EQ(fs::is_regular_file(entry), c.entry);
    if (c.entry) {
      EXPECT_NE(
          config.Read(entry.lexically_relative(config.path())).find("\nExec=" + program + "\n"),
          std::string::npos);
    }
    ASSERT_EQ(refusals.size(), c.notice ? 1U : 0U);
    if (c.notice) {
      EXPECT_TRUE(
          refusals[0].startsWith(Q(u"デスクトップの起動時に開始する設定を変更できませんでした。")));
      EXPECT_TRUE(refusals[0].contains(QStringLiteral("cannot create")));
    }
  }
}

TEST_F(SettingsDialogTest, AutostartCheckBoxFollowsInitialValuesAndRevert) {
  link.settings.Autostart = 1;
  ASSERT_NO_FATAL_FAILURE(Open());
  Button(1010)->click();
  EXPECT_FALSE(Check(1030)->isChecked());
  Button(2)->click();
  EXPECT_TRUE(Check(1030)->isChecked());
  // Neither button changes the setting or the entry before OK.
  EXPECT_EQ(link.settings.Autostart, 1);
  EXPECT_FALSE(std::filesystem::exists(AutostartEntryPath()));
}

TEST_F(SettingsDialogTest, EscapeRevertsTheControlsAndKeepsTheDialogOpen) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1002), QStringLiteral("900"));
  Type(Edit(1007), QStringLiteral("9"));
  Radio(1004)->click();
  List(1015)->setCurrentIndex(0);
  List(1016)->setCurrentIndex(2);
  Check(1011)->click();
  Check(1012)->click();
  Check(1013)->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Check(1014)->isEnabled(); }));

  Press(Qt::Key_Escape);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(link.placements.back(), kOpening);
  EXPECT_EQ(Edit(1002)->text(), QStringLiteral("640"));
  EXPECT_EQ(Edit(1007)->text(), QStringLiteral("60"));
  EXPECT_TRUE(Radio(1006)->isChecked());
  EXPECT_EQ(List(1015)->currentIndex(), 2);
  EXPECT_EQ(List(1016)->currentText(), QStringLiteral("Theme_REV"));
  EXPECT_TRUE(Check(1011)->isChecked());
  EXPECT_FALSE(Check(1012)->isChecked());
  EXPECT_TRUE(Check(1013)->isChecked());
  EXPECT_TRUE(Check(1014)->isChecked());
  EXPECT_TRUE(Check(1014)->isEnabled());
  EXPECT_EQ(link.frameIntervalRuns, 0);
}

// The notification group follows the dialog's rules: filled from the settings, Escape shows
// them again, 初期値 shows the defaults without storing them, OK stores what is shown.
TEST_F(SettingsDialogTest, NotificationGroupFillsRevertsShowsDefaultsAndStores) {
  AppSettings& s = link.settings;
  s.NotifyEnabled = 0;
  s.NotifyMinScale = 45;
  s.NotifyForeign = 0;
  s.NotifySound = 1;
  ASSERT_NO_FATAL_FAILURE(Open());
  QCheckBox* enabled = Control<QCheckBox>(QStringLiteral("checkNotify"));
  QComboBox* scale = Control<QComboBox>(QStringLiteral("comboNotifyMinScale"));
  QCheckBox* foreign = Control<QCheckBox>(QStringLiteral("checkNotifyForeign"));
  QCheckBox* tsunami = Control<QCheckBox>(QStringLiteral("checkNotifyTsunami"));
  QCheckBox* sound = Control<QCheckBox>(QStringLiteral("checkNotifySound"));
  ASSERT_TRUE(enabled && scale && foreign && tsunami && sound);
  const QGroupBox* group = qobject_cast<QGroupBox*>(enabled->parentWidget());
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), Q(u"  通知設定  "));
  EXPECT_EQ(enabled->text(), Q(u"  新しい地震情報をデスクトップに通知する"));
  EXPECT_EQ(scale->count(), 9);
  EXPECT_EQ(scale->itemText(0), Q(u"震度1"));
  EXPECT_EQ(scale->itemText(8), Q(u"震度7"));

  const auto shown = [&] {
    return std::make_tuple(enabled->isChecked(), scale->currentText(), foreign->isChecked(),
                           tsunami->isChecked(), sound->isChecked());
  };
  const auto filled = std::make_tuple(false, Q(u"震度5弱"), false, true, true);
  EXPECT_EQ(shown(), filled);

  enabled->click();
  scale->setCurrentIndex(6);
  sound->click();
  Focus(Edit(1000));
  Press(Qt::Key_Escape);
  EXPECT_EQ(shown(), filled);

  Button(1010)->click();
  EXPECT_EQ(shown(), std::make_tuple(true, Q(u"震度3"), true, true, false));
  EXPECT_EQ(s.NotifyEnabled, 0);
  EXPECT_EQ(s.NotifySound, 1);

  scale->setCurrentIndex(8);
  tsunami->click();
  Button(1)->click();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(s.NotifyEnabled, 1);
  EXPECT_EQ(s.NotifyMinScale, 70);
  EXPECT_EQ(s.NotifyForeign, 1);
  EXPECT_EQ(s.NotifyTsunami, 0);
  EXPECT_EQ(s.NotifySound, 0);
}

// The stream group shows the [Stream] keys and where the local page listens or why it cannot,
// and OK stores what it shows, numbers within their ranges.
TEST_F(SettingsDialogTest, StreamGroupShowsTheServerStateAndStores) {
  AppSettings& s = link.settings;
  s.StreamFile = u"stream/picture.png";
  s.StreamHttp = 1;
  s.StreamPort = 8600;
  link.streamState = {.on = true,
                      .listening = false,
                      .address = u"127.0.0.1:8600",
                      .error = u"the address is in use"};
  ASSERT_NO_FATAL_FAILURE(Open());
  auto* pages = Control<QTabWidget>(QStringLiteral("tabPages"));
  ASSERT_NE(pages, nullptr);
  pages->setCurrentIndex(1);
  auto* file = Control<QLineEdit>(QStringLiteral("editStreamFile"));
  auto* http = Control<QCheckBox>(QStringLiteral("checkStreamHttp"));
  auto* port = Control<QSpinBox>(QStringLiteral("spinStreamPort"));
  auto* overlay = Control<QCheckBox>(QStringLiteral("checkStreamOverlay"));
  auto* command = Control<QLineEdit>(QStringLiteral("editStreamOnReport"));
  auto* status = Control<QLabel>(QStringLiteral("labelStreamStatus"));
  ASSERT_TRUE(file && http && port && overlay && command && status);
  EXPECT_EQ(file->text(), Q(u"stream/picture.png"));
  EXPECT_TRUE(http->isChecked());
  EXPECT_EQ(port->value(), 8600);
  EXPECT_EQ(status->text(),
            Q(u"ローカルページを開けません: 127.0.0.1:8600 (the address is in use)"));
  link.streamState = {
      .on = true, .listening = true, .address = u"http://127.0.0.1:8601/", .error = {}};
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return status->text() == Q(u"ローカルページ: http://127.0.0.1:8601/ で待ち受け中"); }));

  overlay->click();
  Type(command, QStringLiteral("obs-switch-scene {maxScale}"));
  port->setValue(8601);
  Button(1)->click();
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(s.StreamOverlay, 1);
  EXPECT_EQ(s.StreamPort, 8601);
  EXPECT_EQ(s.StreamOnReport, u"obs-switch-scene {maxScale}");
  EXPECT_EQ(s.StreamFile, u"stream/picture.png");
}

TEST_F(SettingsDialogTest, EnterPressesOk) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Type(Edit(1007), QStringLiteral("30"));
  Press(Qt::Key_Return);
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(link.settings.Reload, 30);
}

TEST_F(SettingsDialogTest, AskingAgainRaisesTheOpenDialogWithItsList) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const QStringList shown = Entries(List(1016));
  link.SetThemes({u"Other"});

  ui.OpenSettingsDialog();
  QCoreApplication::processEvents();
  EXPECT_EQ(ui.settingsDialog(), dialog.data());
  EXPECT_EQ(Entries(List(1016)), shown);
}

}  // namespace
}  // namespace hw

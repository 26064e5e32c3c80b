#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell_harness.h"

namespace hw {
namespace {

using test::ShellHarness;

// A started main window: initialised, past start-up stage 0 and visible.
struct Started : ShellHarness {
  explicit Started(const std::string& ini = "[Flag]\nOntop=0\n") {
    folder.Write("Heronwatch.ini", ini);
    InitWithTheme();
    for (int tick = 0; tick <= 40; ++tick)
      Tick();
    window.posCalls.clear();
  }
  void Press(int key, bool system = false) {
    window.heldKeys.insert(key);
    dialog.OnKeyDown(key, system);
  }
  void ReleaseAll() { window.heldKeys.clear(); }
  AppSettings& settings() { return context->settings; }
};

// What one key press changes, from the same starting modes.
struct KeyCase {
  const char* name;
  int key;
  bool system;
  int flameOff, drag, ontop, demo, sandbox, reloads, settingsDialogs, documents;
};

TEST(CommandKeys, EachKeyOfTheTableDoesItsCommand) {
  const KeyCase cases[] = {
      {"F2 hides the frame", VK_F2, false, 1, 0, 0, 0, 0, 0, 0, 0},
      {"F5 reloads the reference data", VK_F5, false, 0, 0, 0, 0, 0, 1, 0, 0},
      {"F6 allows dragging", VK_F6, false, 0, 1, 0, 0, 0, 0, 0, 0},
      {"F7 keeps the window on top", VK_F7, false, 0, 0, 1, 0, 0, 0, 0, 0},
      {"F8 keeps the window at the back", VK_F8, false, 0, 0, 2, 0, 0, 0, 0, 0},
      {"F9 shows the demo file", VK_F9, false, 0, 0, 0, 1, 0, 0, 0, 0},
      {"F10 arrives as a system key and rotates the demos", VK_F10, true, 0, 0, 0, 2, 0, 0, 0, 0},
      {"F11 uses the sandbox", VK_F11, false, 0, 0, 0, 0, 1, 0, 0, 0},
      {"F12 opens the settings", VK_F12, false, 0, 0, 0, 0, 0, 0, 1, 0},
      {"F1 opens the manual", VK_F1, false, 0, 0, 0, 0, 0, 0, 0, 1},
      {"Alt+F2 is no command", VK_F2, true, 0, 0, 0, 0, 0, 0, 0, 0},
      {"Enter does nothing", VK_RETURN, false, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    Started h;
    h.Press(c.key, c.system);
    EXPECT_EQ(h.settings().FlameOff, c.flameOff);
    EXPECT_EQ(h.settings().Drag, c.drag);
    EXPECT_EQ(h.settings().Ontop, c.ontop);
    EXPECT_EQ(h.settings().Demo, c.demo);
    EXPECT_EQ(h.context->SandboxSwitch, c.sandbox);
    EXPECT_EQ(h.recording.reference.reloads - 1, c.reloads);  // one reload at start-up
    EXPECT_EQ(h.recording.ui.settingsDialogs, c.settingsDialogs);
    EXPECT_EQ(h.recording.ui.documents.size(), static_cast<std::size_t>(c.documents));
    EXPECT_EQ(h.window.closeRequests, 0);
  }
}

TEST(CommandKeys, AltWithF11OrF12SwitchesTheDebugOverlayOnly) {
  Started h;
  const int reload = h.settings().Reload;
  h.Press(VK_MENU, true);
  h.Press(VK_F12, true);
  EXPECT_EQ(h.settings().Debug, 1);
  EXPECT_EQ(h.context->loop.FetchPhase, reload - 1);
  EXPECT_EQ(h.recording.ui.settingsDialogs, 0);
  h.window.heldKeys.erase(VK_F12);
  h.Press(VK_F11, true);
  EXPECT_EQ(h.settings().Debug, 0);
  EXPECT_EQ(h.context->SandboxSwitch, 0);

  // Ctrl+Alt+F5 reloads; Alt alone with F5 does not.
  h.ReleaseAll();
  const int before = h.recording.reference.reloads;
  h.Press(VK_MENU, true);
  h.Press(VK_F5, true);
  EXPECT_EQ(h.recording.reference.reloads, before);
  h.Press(VK_CONTROL, true);
  EXPECT_EQ(h.recording.reference.reloads, before + 1);
}

TEST(CommandKeys, EscapeNeverClosesTheWindowButTheCloseBoxDoes) {
  Started h;
  h.context->loop.DragFollow = 1;
  h.Press(VK_ESCAPE);
  EXPECT_EQ(h.context->loop.DragFollow, 0);
  EXPECT_EQ(h.context->EscapePending, 0);  // taken by the cancel command that followed
  EXPECT_EQ(h.window.closeRequests, 0);
  EXPECT_TRUE(h.dialog.OnCloseRequest());
  // The exit command asks the window to close the same way.
  h.dialog.OnCommand(kCommandEnd);
  EXPECT_EQ(h.window.closeRequests, 1);
}

TEST(CommandKeys, ManualThatCannotBeOpenedSaysSo) {
  Started h;
  h.recording.ui.documentOpens = false;
  h.Press(VK_F1);
  ASSERT_EQ(h.recording.ui.documents, std::vector<std::u16string>{u"取扱説明書.txt"});
  EXPECT_EQ(h.window.messages, std::vector<std::u16string>{u"ファイルを開けません。"});
}

TEST(Commands, DemoAndSandboxExcludeEachOtherAndFetchAtTheNextSecond) {
  Started h("[Config]\nReload=180\n[Flag]\nOntop=0\n");
  h.TickSeconds(3);
  const int fetches = h.recording.fetch.starts;
  // The live service asked for a long pause; the sandbox is another server.
  h.context->loop.FetchHoldOff = 600;
  h.context->loop.FetchFailures = 4;
  h.dialog.OnCommand(kCommandToggleSandbox);
  EXPECT_EQ(h.context->SandboxSwitch, 1);
  h.TickSeconds(1);
  EXPECT_EQ(h.recording.fetch.starts, fetches + 1);
  EXPECT_EQ(h.context->loop.FetchFailures, 0);

  h.dialog.OnCommand(kCommandToggleDemoFile);
  EXPECT_EQ(h.settings().Demo, 1);
  EXPECT_EQ(h.context->SandboxSwitch, 0);
  h.dialog.OnCommand(kCommandToggleDemoRotating);
  EXPECT_EQ(h.settings().Demo, 2);
  h.dialog.OnCommand(kCommandToggleSandbox);
  EXPECT_EQ(h.settings().Demo, 0);
  EXPECT_EQ(h.context->SandboxSwitch, 1);
  h.dialog.OnCommand(kCommandToggleSandbox);
  EXPECT_EQ(h.context->SandboxSwitch, 0);
  h.dialog.OnCommand(kCommandToggleDemoFile);
  h.dialog.OnCommand(kCommandToggleDemoFile);
  EXPECT_EQ(h.settings().Demo, 0);
}

TEST(Commands, FrameToggledTwiceKeepsTheClientAreaAndThePlace) {
  Started h;
  const Rect client = h.window.GetClientRect();
  const Rect outer = h.window.placement.normal;
  h.dialog.OnCommand(kCommandToggleFrame);
  EXPECT_EQ(h.window.style & kFrameStyleBits, 0u);
  EXPECT_EQ(h.window.GetClientRect(), client);
  EXPECT_EQ(h.window.placement.normal.left, outer.left);
  h.dialog.OnCommand(kCommandToggleFrame);
  EXPECT_EQ(h.window.style & kFrameStyleBits, kFrameStyleBits);
  EXPECT_EQ(h.window.placement.normal, outer);
  ASSERT_EQ(h.window.posCalls.size(), 2u);
  EXPECT_EQ(h.window.posCalls[1].flags, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

TEST(Commands, ZOrderTogglesAskForTheDocumentedPositions) {
  using enum InsertAfter;
  Started h;
  const auto order = [&] {
    std::vector<InsertAfter> calls;
    for (const auto& call : h.window.posCalls)
      calls.push_back(call.insertAfter);
    h.window.posCalls.clear();
    return calls;
  };
  h.dialog.OnCommand(kCommandToggleOnTop);
  EXPECT_EQ(order(), std::vector<InsertAfter>{Topmost});
  h.dialog.OnCommand(kCommandToggleAtBack);
  EXPECT_EQ(h.settings().Ontop, 2);
  EXPECT_EQ(order(), (std::vector<InsertAfter>{NoTopmost, Bottom}));
  // The second F8 brings the window in front of the normal windows.
  h.dialog.OnCommand(kCommandToggleAtBack);
  EXPECT_EQ(h.settings().Ontop, 0);
  EXPECT_EQ(order(), (std::vector<InsertAfter>{Topmost, NoTopmost}));
}

TEST(Commands, MenuMarksFollowTheModesAndTheMenuOpensWhereClicked) {
  Started h("[Flag]\nOntop=2\nDrag=1\nFlameOff=1\n");
  h.Press(VK_F11);
  h.dialog.OnContextMenu({300, 200});
  ASSERT_EQ(h.recording.ui.menus, 1);
  EXPECT_EQ(h.recording.ui.menuPosition, (Point{300, 200}));
  std::vector<int> checked;
  for (const MenuItem& item : h.recording.ui.menu) {
    if (item.checked) checked.push_back(item.id);
  }
  EXPECT_EQ(checked, (std::vector<int>{kCommandToggleFrame, kCommandToggleDrag,
                                       kCommandToggleAtBack, kCommandToggleSandbox}));
}

TEST(Commands, DragStartsOnlyWhenAllowed) {
  Started h;
  h.dialog.OnLButtonDown();
  EXPECT_EQ(h.context->loop.DragFollow, 0);
  h.settings().Drag = 1;
  h.window.cursor = {40, 50};
  h.dialog.OnLButtonDown();
  EXPECT_EQ(h.context->loop.DragFollow, 1);
  EXPECT_EQ(h.context->loop.DragStartCursor, (Point{40, 50}));
  EXPECT_EQ(h.context->loop.DragStartPlacement, h.window.placement);
  h.dialog.OnLButtonUp();
  EXPECT_EQ(h.context->loop.DragFollow, 0);
}

TEST(Commands, AboutHoldsTheTickerAndSettingsRescanTheThemes) {
  Started h;
  h.dialog.OnCommand(kCommandAbout);
  EXPECT_EQ(h.recording.ui.aboutBoxes, 1);
  EXPECT_EQ(h.context->loop.PendingFrames, -2);

  h.folder.Write("Theme/Added/Setting.ini", "");
  h.Press(VK_F12);
  h.ReleaseAll();
  h.Press(VK_F12);
  EXPECT_EQ(h.recording.ui.settingsDialogs, 2);  // the second raises the open one
  EXPECT_EQ(h.context->themes.count, 2);
}

TEST(Commands, GeometryFromTheSettingsKeepsTheFramedClientSizeWithoutTheFrame) {
  Started h("[Flag]\nFlameOff=1\n");
  AppSettings& s = h.settings();
  s.Left = 10;
  s.Top = 20;
  s.Right = 810;
  s.Bottom = 620;
  h.dialog.ApplyWindowGeometry();
  EXPECT_EQ(h.window.placement.normal,
            (Rect{10, 20, 810 - h.window.frameWidth, 620 - h.window.frameHeight}));
}

// The window manager moves and sizes the window (its title bar, its border): [Position] follows
// once start-up has placed the window, always as the framed rectangle, and never from a
// minimised window.
TEST(WindowGeometry, PositionFollowsTheWindowWhereverTheWindowManagerTakesIt) {
  for (const int flameOff : {0, 1}) {
    SCOPED_TRACE(flameOff);
    ShellHarness h;
    h.folder.Write("Heronwatch.ini",
                   "[Position]\nLeft=100\nTop=50\nRight=740\nBottom=530\n"
                   "[Flag]\nOntop=0\nFlameOff=" +
                       std::to_string(flameOff) + "\n");
    h.InitWithTheme();
    const Rect stored{100, 50, 740, 530};
    const auto position = [&] {
      const AppSettings& s = h.context->settings;
      return Rect{s.Left, s.Top, s.Right, s.Bottom};
    };
    h.Tick();
    h.window.placement.normal = {0, 0, 300, 200};
    h.dialog.OnWindowRectChanged();  // start-up's own placement
    EXPECT_EQ(position(), stored);
    for (int tick = 0; tick < 40; ++tick)
      h.Tick();

    const int extraWidth = flameOff == 1 ? h.window.frameWidth : 0;
    const int extraHeight = flameOff == 1 ? h.window.frameHeight : 0;
    h.window.placement.normal = {341, 120, 981 - extraWidth, 600 - extraHeight};
    h.dialog.OnWindowRectChanged();
    EXPECT_EQ(position(), (Rect{341, 120, 981, 600}));
    h.window.placement.minimized = true;
    h.window.placement.normal = {0, 0, 300, 200};
    h.dialog.OnWindowRectChanged();
    EXPECT_EQ(position(), (Rect{341, 120, 981, 600}));
  }
}

// The tray icon's left click and a second start ask for the window: it comes to the front,
// also from the back, which ends that mode as F8 would.
TEST(Commands, ShowingTheWindowBringsItForwardAndEndsTheModeAtTheBack) {
  for (const int ontop : {0, 1, 2}) {
    SCOPED_TRACE(ontop);
    Started h("[Flag]\nOntop=" + std::to_string(ontop) + "\n");
    h.dialog.OnCommand(kCommandShowWindow);
    EXPECT_EQ(h.window.broughtToFront, 1);
    EXPECT_EQ(h.settings().Ontop, ontop == 2 ? 0 : ontop);
    EXPECT_EQ(h.window.posCalls.size(), ontop == 2 ? 2u : 0u);
  }
}

// A window manager frames the window only after it is shown: until then a frame that is to be
// hidden stays, and the stored rectangle is placed again once the frame's size is known.
TEST(WindowFrame, HiddenFrameWaitsForTheWindowManagersFrameSize) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini",
                 "[Position]\nLeft=100\nTop=50\nRight=740\nBottom=530\n[Flag]\nFlameOff=1\n");
  h.window.frameKnown = false;
  h.InitWithTheme();
  h.Tick();  // stage 0
  EXPECT_EQ(h.window.style & kFrameStyleBits, kFrameStyleBits);
  EXPECT_EQ(h.window.trackingMinimum, (Size{640, 480}));

  h.window.frameKnown = true;
  h.dialog.OnFrameExtentsChanged();
  EXPECT_EQ(h.window.style & kFrameStyleBits, 0u);
  EXPECT_EQ(h.window.placement.normal,
            (Rect{100, 50, 740 - h.window.frameWidth, 530 - h.window.frameHeight}));
  EXPECT_EQ(h.context->loop.FrameExtraWidth, h.window.frameWidth);
}

TEST(WindowFrame, WithoutAWindowManagerTheFrameIsHiddenWhenTheWindowAppears) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", "[Flag]\nFlameOff=1\n");
  h.window.frameKnown = false;
  h.window.frameWidth = 0;
  h.window.frameHeight = 0;
  h.InitWithTheme();
  for (int tick = 0; tick < 40; ++tick)
    h.Tick();
  EXPECT_EQ(h.window.style & kFrameStyleBits, kFrameStyleBits);
  h.Tick();  // stage 40
  EXPECT_EQ(h.window.style & kFrameStyleBits, 0u);
  const AppSettings& s = h.context->settings;
  EXPECT_EQ(h.window.placement.normal, (Rect{s.Left, s.Top, s.Right, s.Bottom}));
}

}  // namespace
}  // namespace hw

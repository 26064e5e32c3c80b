#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/instance_lock.h"
#include "shell/shell_harness.h"
#include "shell/tremorlens_app.h"

namespace hw {
namespace {

using test::ShellHarness;

TEST(Startup, NoSettingsFileGivesACentredWindowAndTheDefaultTheme) {
  ShellHarness h;
  h.window.workArea = {0, 0, 1366, 728};
  h.InitWithTheme();
  h.Tick();
  EXPECT_EQ(h.context->settings.Name, u"Theme_REV");
  // A 960 × 540 client area (16:9, like the picture) in the fake's 16 × 39 frame, centred.
  EXPECT_EQ(h.window.placement.normal, (Rect{195, 74, 195 + 976, 74 + 579}));
  EXPECT_TRUE(std::filesystem::is_directory(h.folder.path() / "Setting"));
  EXPECT_EQ(h.recording.tray.adds, 1);
  EXPECT_EQ(h.recording.reference.refreshes, 1);
  EXPECT_EQ(h.recording.reference.reloads, 1);
}

// The first start's client area is 16:9 whatever the frame, also when the window manager tells
// its size only after the window was placed; a stored rectangle is kept as it is.
TEST(Startup, AFirstStartShowsTheWholePictureUndistorted) {
  struct Case {
    const char* name;
    Rect workArea;
    std::string ini;
    bool frameKnownAtOnce;
    Size client;
  };
  const Case cases[] = {
      {"room for 960 × 540", {0, 0, 1920, 1040}, "", true, {960, 540}},
      {"frame known later", {0, 0, 1920, 1040}, "[Flag]\nOntop=0\n", false, {960, 540}},
      {"a small screen", {0, 0, 1024, 600}, "", true, {880, 495}},
      {"frame hidden", {0, 0, 1920, 1040}, "[Flag]\nFlameOff=1\n", true, {960, 540}},
      {"stored rectangle",
       {0, 0, 1920, 1040},
       "[Position]\nLeft=10\nTop=20\nRight=650\nBottom=500\n",
       true,
       {640 - 16, 480 - 39}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShellHarness h;
    h.window.workArea = c.workArea;
    h.window.frameKnown = c.frameKnownAtOnce;
    h.folder.Write("Heronwatch.ini", c.ini);
    h.InitWithTheme();
    h.Tick();
    if (!c.frameKnownAtOnce) {
      h.Tick();
      h.window.frameKnown = true;
      h.dialog.OnFrameExtentsChanged();
    }
    for (int tick = 0; tick < 40; ++tick)
      h.Tick();
    EXPECT_EQ(h.window.GetClientRect(), (Rect{0, 0, c.client.width, c.client.height}));
  }
}

TEST(Startup, ThemeWithoutLayoutFileFallsBackToTheFirstFolder) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", "[Theme]\nName=Gone\n");
  h.folder.Write("Theme/Gone/readme.txt", "no layout here");
  h.folder.Write("Theme/Bravo/Setting.ini", "");
  h.folder.Write("Theme/.hidden/Setting.ini", "");
  h.folder.Write("Theme/Alpha/Setting.ini", "[Font]\nMagnitude.fontHeight=77\n");
  h.dialog.OnInitDialog();
  EXPECT_EQ(h.context->settings.Name, u"Alpha");
  EXPECT_EQ(h.context->themes.count, 3);  // Alpha, Bravo, Gone
  EXPECT_EQ(h.display.theme().style.Magnitude.fontHeight, 77);
  EXPECT_EQ(h.text.fonts[MagnitudeFont].height, 77);
}

TEST(Startup, CreatesTheNineteenFontsFromTheTheme) {
  ShellHarness h;
  h.folder.Write(
      "Theme/Theme_REV/Setting.ini",
      "[Font]\nInfoShingen.fontWidth=31\n[Table]\nCity.scaleOff=19\nComm.scaleOff=-20\n");
  h.dialog.OnInitDialog();
  ASSERT_EQ(h.text.fonts.size(), static_cast<std::size_t>(kFontCount));
  EXPECT_EQ(h.text.fonts[InfoShingenNarrowFont].width, 20);     // 31 × 2 / 3
  EXPECT_EQ(h.text.fonts[InfoShingenNarrowestFont].width, 15);  // 31 / 2
  EXPECT_EQ(h.text.fonts[CityTableFont].height, 57);
  EXPECT_EQ(h.text.fonts[CityTableFont].width, 36);
  EXPECT_EQ(h.text.fonts[CityTableBoldFont].weight, 700);
  EXPECT_EQ(h.text.fonts[CommTableFont].height, 18);
  EXPECT_EQ(h.text.fonts[CommTableFont].width, 12);  // 24 + (−480 / 38), truncated
  EXPECT_EQ(h.text.fonts[CityHeaderFont].face, u"Meiryo");
  EXPECT_EQ(h.text.fonts[DebugFont].face, u"Arial");
  EXPECT_EQ(h.text.fonts[MagnitudeFont].face, u"Arial Black");
}

TEST(Startup, MissingRequiredPictureShowsWhyAndNeverStartsTheLoop) {
  struct Case {
    ThemeAssetResult code;
    std::u16string message;
  };
  const Case cases[] = {
      {ThemeAssetResult::kMaxIntensityMissing,
       u"最大震度用のファイル「MaxIntensity.bmp」が読み込めません"},
      {ThemeAssetResult::kJpMap1Missing,
       u"日本地図(速報用)のファイル「jp_map1.jpg」が読み込めません"},
      {ThemeAssetResult::kJpMap2Missing,
       u"日本地図(確定用)のファイル「jp_map2.jpg」が読み込めません"},
      {ThemeAssetResult::kWorldMapMissing, u"世界地図のファイル「world_map.jpg」が読み込めません"},
  };
  for (const Case& c : cases) {
    ShellHarness h;
    h.recording.assets.result = c.code;
    EXPECT_TRUE(h.dialog.OnInitDialog());
    ASSERT_EQ(h.window.messages.size(), 1u);
    EXPECT_EQ(h.window.messages[0], c.message);
    EXPECT_EQ(h.window.closeRequests, 1);
    EXPECT_EQ(h.window.timerPeriod, 0);
    EXPECT_EQ(h.context->DialogInitialised, 0);
    EXPECT_EQ(h.window.alphas, std::vector<int>{0});  // never made visible
  }
}

// A map the program goes on without is named in the event log, after its start lines.
TEST(Startup, PicturesThatCouldNotBeDecodedAreLogged) {
  ShellHarness h;
  h.recording.assets.problems = {u"map picture Map/world_map.jpg is not a picture"};
  h.InitWithTheme();
  h.Tick();
  const std::string log = h.Log();
  const std::size_t start = log.find("Initial Program Start");
  const std::size_t problem = log.find("map picture Map/world_map.jpg is not a picture");
  ASSERT_NE(problem, std::string::npos) << log;
  EXPECT_GT(problem, start);
}

TEST(Startup, SecondInitialisationBuildsNothingAgain) {
  ShellHarness h;
  h.InitWithTheme();
  h.dialog.OnInitDialog();
  EXPECT_EQ(h.text.fonts.size(), static_cast<std::size_t>(kFontCount));
  EXPECT_EQ(h.recording.assets.loads, 1);
}

class ScriptedLock final : public InstanceLock {
 public:
  explicit ScriptedLock(bool free) : free_(free) {}
  bool TryAcquire(const std::string& name) override {
    name_ = name;
    return free_;
  }
  std::string name_;

 private:
  bool free_;
};

// A second copy never opens its window: it asks the running one to show its own, and says
// that one runs only when that copy does not answer.
TEST(SingleInstance, SecondCopyShowsTheRunningWindowOrSaysSo) {
  const struct {
    bool free;
    bool runningCopyAnswers;
    int runs, asks;
    bool message;
  } cases[] = {
      {true, false, 1, 0, false},
      {false, true, 0, 1, false},
      {false, false, 0, 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.free << c.runningCopyAnswers);
    ScriptedLock lock(c.free);
    test::FakeWindowHost window;
    int runs = 0;
    int asks = 0;
    CTremorlensApp app(
        lock, window,
        [&] {
          ++asks;
          return c.runningCopyAnswers;
        },
        [&] { ++runs; });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(lock.name_, "Heronwatch.exe");
    EXPECT_EQ(runs, c.runs);
    EXPECT_EQ(asks, c.asks);
    if (!c.message) {
      EXPECT_TRUE(window.messages.empty());
    } else {
      ASSERT_EQ(window.messages.size(), 1u);
      EXPECT_EQ(window.messages[0], u"このアプリは起動済みです。");
      EXPECT_EQ(window.messageTitles[0], u"Heronwatch");
    }
  }
}

TEST(SingleInstance, SystemLockIsHeldUntilItsProcessEnds) {
  test::TempFolder folder;
  ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
  const auto first = MakeSystemInstanceLock();
  ASSERT_TRUE(first->TryAcquire("HeronwatchTest.exe"));
  EXPECT_FALSE(MakeSystemInstanceLock()->TryAcquire("HeronwatchTest.exe"));
  EXPECT_TRUE(MakeSystemInstanceLock()->TryAcquire("OtherName.exe"));

  // A process that takes the lock and dies without letting go does not block the next start.
  const pid_t child = ::fork();
  if (child == 0) {
    const auto lock = MakeSystemInstanceLock();
    ::_exit(lock->TryAcquire("Crashed.exe") ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(MakeSystemInstanceLock()->TryAcquire("Crashed.exe"));
  ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace hw

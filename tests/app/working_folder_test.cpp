#include "app/working_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <string>

#include "fakes/scoped_environment.h"
#include "fakes/temp_folder.h"
#include "platform/file_digest.h"
#include "platform/file_system.h"
#include "platform/work_folder_layout.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

// The folder follows HERONWATCH_WORKDIR, then the XDG rules; with neither HOME nor an absolute
// XDG_DATA_HOME there is none, rather than a folder below wherever the program was started.
TEST(WorkingFolder, FollowsTheWorkdirThenTheXdgDataFolder) {
  using Env = std::optional<std::string>;
  const struct {
    Env workdir, xdg, home;
    const char* expected;  // nullptr: no folder
  } cases[] = {
      {"/w/data", "/data/home", "/home/someone", "/w/data"},
      {std::nullopt, "/data/home", "/home/someone", "/data/home/heronwatch"},
      {"", std::nullopt, "/home/someone", "/home/someone/.local/share/heronwatch"},
      {std::nullopt, "relative/data", "/home/someone", "/home/someone/.local/share/heronwatch"},
      {std::nullopt, "/data/home", std::nullopt, "/data/home/heronwatch"},
      {std::nullopt, std::nullopt, std::nullopt, nullptr},
      {std::nullopt, "", "", nullptr},
      {std::nullopt, "relative/data", "relative/home", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.workdir.value_or("-") << " " << c.xdg.value_or("-") << " "
                                    << c.home.value_or("-"));
    const test::ScopedEnv workdir("HERONWATCH_WORKDIR", c.workdir);
    const test::ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
    const test::ScopedEnv home("HOME", c.home);
    std::string error;
    const std::optional<fs::path> folder = UserWorkingFolder(error);
    if (c.expected == nullptr) {
      EXPECT_FALSE(folder);
      EXPECT_NE(error.find("HOME is not set"), std::string::npos) << error;
    } else {
      EXPECT_EQ(folder, fs::path(c.expected));
    }
  }
}

std::string Sha256Of(const test::TempFolder& folder, const char* relative) {
  return Sha256OfFile(folder.path() / relative).value_or("");
}

// A working folder that an earlier version filled: at the first start the copies the user never
// changed (one of an older shipped version) are dropped, with the folders they leave empty, so
// that the installed files are read; what the user changed, linked or added stays and wins.
TEST(WorkingFolder, UpgradeDropsUnchangedCopiesAndKeepsTheUsersChanges) {
  test::TempFolder shipped;
  shipped.Write("Theme/Theme_REV/Setting.ini", "[Main]\nversion=3\n");
  shipped.Write("Theme/Theme_REV/Waku/Shingen.bmp", "mark");
  shipped.Write("Storage/demo.json", "[demo]");
  shipped.Write("Setting/Stations.ini", "shipped stations\n");
  shipped.Write("Sound/notify.wav", "chime");

  test::TempFolder old;  // the files as earlier versions shipped them
  old.Write("v1", "[Main]\nversion=1\n");
  old.Write("v2", "[Main]\nversion=2\n");
  const std::array<std::string, 6> hashes = {Sha256Of(old, "v1"),
                                             Sha256Of(old, "v2"),
                                             Sha256Of(shipped, "Theme/Theme_REV/Waku/Shingen.bmp"),
                                             Sha256Of(shipped, "Storage/demo.json"),
                                             Sha256Of(shipped, "Setting/Stations.ini"),
                                             Sha256Of(shipped, "Sound/notify.wav")};
  const SeededFile seeded[] = {{"Theme/Theme_REV/Setting.ini", hashes[0]},
                               {"Theme/Theme_REV/Setting.ini", hashes[1]},
                               {"Theme/Theme_REV/Waku/Shingen.bmp", hashes[2]},
                               {"Storage/demo.json", hashes[3]},
                               {"Setting/Stations.ini", hashes[4]},
                               {"Sound/notify.wav", hashes[5]},
                               {"UsersGuide.txt", hashes[0]}};

  test::TempFolder work;
  work.Write("Theme/Theme_REV/Setting.ini", "[Main]\nversion=1\n");   // seeded, unchanged
  work.Write("Theme/Theme_REV/Waku/Shingen.bmp", "mark");             // seeded, unchanged
  work.Write("Storage/demo.json", "[my own demo]");                   // changed by the user
  work.Write("Setting/Stations.ini", "refreshed from the agency\n");  // written by the program
  work.Write("Storage/history.json", "[]");                           // the user's
  work.Write("Theme/Mine/Setting.ini", "[Main]\n");                   // the user's theme
  work.Write("Heronwatch.ini", "[Theme]\nName=Theme_REV\n");
  work.Write("elsewhere.wav", "chime");
  fs::create_directories(work.path() / "Sound");
  fs::create_symlink(work.path() / "elsewhere.wav", work.path() / "Sound/notify.wav");

  FolderUpgrade upgrade;
  std::string error;
  ASSERT_TRUE(PrepareWorkingFolder(work.path(), shipped.path(), seeded, upgrade, error)) << error;
  EXPECT_EQ(
      std::set<std::string>(upgrade.dropped.begin(), upgrade.dropped.end()),
      (std::set<std::string>{"Theme/Theme_REV/Setting.ini", "Theme/Theme_REV/Waku/Shingen.bmp"}));
  EXPECT_EQ(
      std::set<std::string>(upgrade.kept.begin(), upgrade.kept.end()),
      (std::set<std::string>{"Storage/demo.json", "Setting/Stations.ini", "Sound/notify.wav"}));
  EXPECT_FALSE(fs::exists(work.path() / "Theme/Theme_REV"));
  EXPECT_EQ(work.Read("Theme/Mine/Setting.ini"), "[Main]\n");
  EXPECT_EQ(work.Read("Storage/history.json"), "[]");
  EXPECT_EQ(work.Read("Heronwatch.ini"), "[Theme]\nName=Theme_REV\n");
  EXPECT_TRUE(fs::is_symlink(work.path() / "Sound/notify.wav"));

  // The program now reads the newer shipped layout and the user's own demo.
  const WorkFolderLayout layout(work.U16(), shipped.U16());
  EXPECT_EQ(ReadFileBytes(layout.ThemeLayoutFile(u"Theme_REV"), 100), "[Main]\nversion=3\n");
  EXPECT_EQ(ReadFileBytes(layout.DemoFile(), 100), "[my own demo]");
  EXPECT_EQ(ReadFileBytes(layout.LoadedStationsFile(), 100), "refreshed from the agency\n");

  // Later starts leave every file alone, a shipped file the user has just copied in included.
  work.Write("Theme/Theme_REV/Waku/Shingen.bmp", "mark");
  FolderUpgrade again;
  ASSERT_TRUE(PrepareWorkingFolder(work.path(), shipped.path(), seeded, again, error)) << error;
  EXPECT_TRUE(again.dropped.empty());
  EXPECT_TRUE(again.kept.empty());
  EXPECT_EQ(work.Read("Theme/Theme_REV/Waku/Shingen.bmp"), "mark");
}

// Started on the runtime folder itself (a developer's HERONWATCH_WORKDIR), nothing is dropped.
TEST(WorkingFolder, TheRuntimeFolderItselfIsNeverEmptied) {
  test::TempFolder runtime;
  runtime.Write("Storage/demo.json", "[demo]");
  const std::string hash = Sha256Of(runtime, "Storage/demo.json");
  const SeededFile seeded[] = {{"Storage/demo.json", hash}};
  FolderUpgrade upgrade;
  std::string error;
  ASSERT_TRUE(
      PrepareWorkingFolder(runtime.path() / "." / "", runtime.path(), seeded, upgrade, error));
  EXPECT_TRUE(upgrade.dropped.empty());
  EXPECT_EQ(runtime.Read("Storage/demo.json"), "[demo]");
}

TEST(WorkingFolder, ReportsAFolderThatCannotBeMade) {
  test::TempFolder work;
  work.Write("blocker", "a file where the folder should be");
  FolderUpgrade upgrade;
  std::string error;
  EXPECT_FALSE(PrepareWorkingFolder(work.path() / "blocker" / "data", {}, EarlierSeededFiles(),
                                    upgrade, error));
  EXPECT_NE(error.find("cannot create"), std::string::npos);
}

// The list of earlier seeded files holds every file of the runtime folder as it was shipped
// before nothing was seeded any more, and never the settings file, which is always the user's.
TEST(WorkingFolder, EarlierSeededFilesCoverTheThemeAndNeverTheSettings) {
  std::set<std::string_view> paths;
  for (const SeededFile& file : EarlierSeededFiles()) {
    EXPECT_EQ(file.sha256.size(), 64u) << file.path;
    paths.insert(file.path);
  }
  EXPECT_FALSE(paths.contains("Heronwatch.ini"));
  for (const char* path : {"Theme/Theme_REV/Setting.ini", "Theme/Theme_REV/Map/jp_map1.jpg",
                           "Setting/Stations.ini", "Storage/demo.json", "取扱説明書.txt"}) {
    EXPECT_TRUE(paths.contains(path)) << path;
  }
}

}  // namespace
}  // namespace hw

#include "app/working_folder.h"

#include <gtest/gtest.h>

#include "fakes/file_size_limit.h"
#include "fakes/temp_folder.h"

namespace hw {
namespace {

TEST(WorkingFolder, SeedsMissingFilesAndNeverOverwritesTheUsers) {
  test::TempFolder runtime;
  runtime.Write("Theme/Theme_REV/Setting.ini", "bundled layout");
  runtime.Write("Storage/demo.json", "[bundled]");
  runtime.Write("取扱説明書.txt", "manual");
  test::TempFolder work;
  work.Write("data/Storage/demo.json", "[user's own]");

  std::string error;
  ASSERT_TRUE(SeedWorkingFolder(runtime.path(), work.path() / "data", error)) << error;
  EXPECT_EQ(work.Read("data/Theme/Theme_REV/Setting.ini"), "bundled layout");
  EXPECT_EQ(work.Read("data/Storage/demo.json"), "[user's own]");
  EXPECT_EQ(work.Read("data/取扱説明書.txt"), "manual");

  // A second start with a changed bundled file keeps the user's copy.
  runtime.Write("Theme/Theme_REV/Setting.ini", "newer bundled layout");
  work.Write("data/Theme/Theme_REV/Setting.ini", "user edit");
  ASSERT_TRUE(SeedWorkingFolder(runtime.path(), work.path() / "data", error)) << error;
  EXPECT_EQ(work.Read("data/Theme/Theme_REV/Setting.ini"), "user edit");
}

TEST(WorkingFolder, ReportsAFolderThatCannotBeMade) {
  test::TempFolder work;
  work.Write("blocker", "a file where the folder should be");
  std::string error;
  EXPECT_FALSE(SeedWorkingFolder(work.path(), work.path() / "blocker" / "data", error));
  EXPECT_NE(error.find("cannot create"), std::string::npos);
}

// A full disk at the first start: the file that did not fit is not left cut short under its
// name (later starts would keep it for ever), the reason names the file and the disk's
// complaint, and the next start completes it.
TEST(WorkingFolder, FileThatDoesNotFitIsNotLeftTruncated) {
  test::TempFolder runtime;
  runtime.Write("Theme/Theme_REV/Map/jp_map2.jpg", std::string(4096, 'j'));
  test::TempFolder work;
  std::string error;
  {
    const test::FileSizeLimit full(1000);
    EXPECT_FALSE(SeedWorkingFolder(runtime.path(), work.path(), error));
  }
  EXPECT_NE(error.find("jp_map2.jpg"), std::string::npos) << error;
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(work.path() / "Theme/Theme_REV/Map/jp_map2.jpg"));
  EXPECT_FALSE(std::filesystem::exists(work.path() / "Theme/Theme_REV/Map/jp_map2.jpg.tmp"));

  ASSERT_TRUE(SeedWorkingFolder(runtime.path(), work.path(), error)) << error;
  EXPECT_EQ(work.Read("Theme/Theme_REV/Map/jp_map2.jpg"), std::string(4096, 'j'));
}

TEST(WorkingFolder, FollowsXdgDataHome) {
  ::unsetenv("HERONWATCH_WORKDIR");
  ::setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(UserWorkingFolder(), std::filesystem::path("/data/home/heronwatch"));
  ::unsetenv("XDG_DATA_HOME");
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(UserWorkingFolder(), std::filesystem::path("/home/someone/.local/share/heronwatch"));
}

}  // namespace
}  // namespace hw

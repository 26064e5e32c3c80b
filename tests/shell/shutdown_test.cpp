#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/profile_file.h"
#include "shell/shell_harness.h"

namespace hw {
namespace {

using namespace std::literals;
using test::ShellHarness;

TEST(Shutdown, WritesEveryKeyButDebugAndTStartAndClosesTheLog) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini", "");
  h.InitWithTheme();
  h.Tick();
  h.dialog.OnDestroy();
  const std::string ini = h.folder.Read("Heronwatch.ini");
  for (const char* key :
       {"Name=Theme_REV", "Top=",        "Left=",
        "Bottom=",        "Right=",      "MinX=640",
        "MinY=480",       "MaxX=1920",   "MaxY=1080",
        "FlameOff=0",     "Ontop=1",     "Drag=0",
        "Demo=0",         "SpeedDraw=4", "SpeedScroll=3",
        "Aspect=0",       "Reload=2",    "HisJsonSavePath=.\\Storage\\history.json",
        "HisJsonNum=20",  "SiJson=0",    "StaJson=0",
        "EpiFront=0",     "EpiBlink=0",  "ShindoMap=0"}) {
    EXPECT_NE(ini.find(key), std::string::npos) << key;
  }
  EXPECT_EQ(ini.find("Debug"), std::string::npos);
  EXPECT_EQ(ini.find("TStart"), std::string::npos);

  const std::string log = h.Log();
  const std::string end =
      "Event Log       \xEF\xBC\x9A Log End\r\n2026/12/08 12:00:00 : " + std::string(97, '=') +
      "\r\n";
  EXPECT_EQ(log.substr(log.size() - end.size()), end);
  EXPECT_EQ(h.window.timerPeriod, 0);
  EXPECT_FALSE(h.frameTicker.running);
  EXPECT_EQ(h.recording.fetch.shutdowns, 1);
  EXPECT_EQ(h.recording.tray.removes, 1);
  EXPECT_TRUE(h.display.canvas().empty());
}

TEST(Shutdown, HiddenFrameStillWritesTheFramedRectangle) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini",
                 "[Position]\nTop=100\nLeft=50\nBottom=580\nRight=690\n"
                 "[Flag]\nFlameOff=1\n");
  h.InitWithTheme();
  h.Tick();
  h.window.placement.normal.left += 5;  // the user moved the window
  h.window.placement.normal.right += 5;
  h.dialog.OnDestroy();
  const ProfileFile ini = ProfileFile::Load(h.folder.U16() + u"/Heronwatch.ini");
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Position", u"Bottom", 0) -
                ini.GetPrivateProfileInt(u"Position", u"Top", 0),
            480);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Position", u"Left", 0), 55);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Position", u"Right", 0), 695);
}

TEST(Shutdown, FailedStartKeepsTheStoredRectangleAndTheFallbackTheme) {
  ShellHarness h;
  h.folder.Write("Heronwatch.ini",
                 "[Theme]\nName=Gone\n[Position]\nTop=7\nLeft=8\nBottom=9\n"
                 "Right=10\n[Flag]\nDebug=1\n");
  h.folder.Write("Theme/Only/Setting.ini", "");
  h.recording.assets.result = ThemeAssetResult::kMaxIntensityMissing;
  h.dialog.OnInitDialog();
  h.dialog.OnDestroy();
  const ProfileFile ini = ProfileFile::Load(h.folder.U16() + u"/Heronwatch.ini");
  EXPECT_EQ(ini.GetPrivateProfileString(u"Theme", u"Name", u""), u"Only");
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Position", u"Top", 0), 7);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Position", u"Right", 0), 10);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Flag", u"Debug", 0), 1);
}

TEST(Shutdown, UnwritableSettingsFileLosesTheWriteButNothingElse) {
  ShellHarness h;
  h.InitWithTheme();
  h.Tick();
  // A folder where the file should be: neither the read nor the write can succeed.
  std::filesystem::create_directory(h.folder.path() / "Heronwatch.ini");
  h.dialog.OnDestroy();
  EXPECT_TRUE(std::filesystem::is_directory(h.folder.path() / "Heronwatch.ini"));
  EXPECT_NE(h.Log().find("Log End"), std::string::npos);
  EXPECT_EQ(h.recording.tray.removes, 1);
}

TEST(Shutdown, VanishedWorkingFolderNeverWritesAnywhereElse) {
  ShellHarness h;
  h.InitWithTheme();
  const std::u16string chosen = h.context->WorkingFolder.root();
  std::filesystem::remove_all(h.folder.path());
  h.Tick();
  EXPECT_EQ(h.context->WorkingFolder.root(), chosen);  // recorded once, at start-up
  h.dialog.OnDestroy();
  EXPECT_FALSE(std::filesystem::exists(h.folder.path()));
  EXPECT_FALSE(std::filesystem::exists("/Heronwatch.ini"));
  EXPECT_FALSE(std::filesystem::exists("/Eventlog"));
}

// Settings that could not be read are not replaced by the program's own keys: the user's
// sections and keys in them would be lost. Exit says why on standard error and in the log.
TEST(Shutdown, SettingsThatCouldNotBeReadAreLeftAsTheyWere) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-16BE", "\0[\0N\0e\0t\0]\0\n\0D\0e\0b\0u\0g\0=\0\x31"s},
      {"not text", std::string("[MyNotes]\nk=\x85\xFD\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShellHarness h;
    h.folder.Write("Heronwatch.ini", c.bytes);
    h.InitWithTheme();
    h.Tick();
    testing::internal::CaptureStderr();
    h.dialog.OnDestroy();
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(h.folder.Read("Heronwatch.ini") == c.bytes);
    EXPECT_NE(stderrText.find("settings not saved: Heronwatch.ini is neither"), std::string::npos)
        << stderrText;
    EXPECT_NE(h.Log().find("settings not saved: Heronwatch.ini is neither"), std::string::npos);
    EXPECT_NE(h.Log().find("Log End"), std::string::npos);
  }
}

TEST(Shutdown, LinkedSettingsFileUpdatesItsTargetWithItsPermissions) {
  ShellHarness h;
  h.folder.Write("settings/real.ini", "[MyNotes]\nnote=kept\n");
  std::filesystem::permissions(
      h.folder.path() / "settings/real.ini",
      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink("settings/real.ini", h.folder.path() / "Heronwatch.ini");
  h.InitWithTheme();
  h.Tick();
  h.dialog.OnDestroy();
  EXPECT_TRUE(std::filesystem::is_symlink(h.folder.path() / "Heronwatch.ini"));
  const std::string ini = h.folder.Read("settings/real.ini");
  EXPECT_NE(ini.find("note=kept"), std::string::npos);
  EXPECT_NE(ini.find("Name=Theme_REV"), std::string::npos);
  EXPECT_EQ(std::filesystem::status(h.folder.path() / "settings/real.ini").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(Shutdown, SettingsThatCannotBeWrittenAreReported) {
  ShellHarness h;
  // A link into a folder that does not exist: nothing to read, and no place to write.
  std::filesystem::create_symlink("gone/real.ini", h.folder.path() / "Heronwatch.ini");
  h.InitWithTheme();
  h.Tick();
  testing::internal::CaptureStderr();
  h.dialog.OnDestroy();
  const std::string stderrText = testing::internal::GetCapturedStderr();
  EXPECT_NE(stderrText.find("settings not saved: cannot write Heronwatch.ini"), std::string::npos)
      << stderrText;
  EXPECT_NE(h.Log().find("settings not saved: cannot write Heronwatch.ini"), std::string::npos);
}

TEST(Shutdown, FailedStartDatesTheEndLinesWithTheClock) {
  ShellHarness h;
  std::filesystem::create_directory(h.folder.path() / "Eventlog");
  h.recording.assets.result = ThemeAssetResult::kJpMap2Missing;
  h.InitWithTheme();
  h.dialog.OnDestroy();
  EXPECT_EQ(h.Log(),
            "2026/12/08 12:00:00 : Event Log       \xEF\xBC\x9A Log End\r\n"
            "2026/12/08 12:00:00 : " +
                std::string(97, '=') + "\r\n");
}

}  // namespace
}  // namespace hw

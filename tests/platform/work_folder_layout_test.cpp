#include "platform/work_folder_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fakes/temp_folder.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

// Which folder each path comes from, with a runtime folder and without one: a shipped file is
// the user's copy when there is one, else the installed one; what the program writes is always
// the working folder's, even when the runtime folder holds a file of that name.
TEST(WorkFolderLayout, ShippedFilesAreTheUsersCopyElseTheInstalledOne) {
  test::TempFolder user;
  test::TempFolder shipped;
  for (const char* file : {"Setting/Stations.ini", "Storage/demo.json", "Theme/T/setting.ini"})
    user.Write(file, "user");
  for (const char* file : {"Setting/Stations.ini", "Setting/AreaInfo.ini", "Storage/demo.json",
                           "Storage/demo2.json", "Sound/notify.wav", "Theme/T/Setting.ini",
                           "Theme/T/Map/jp_map1.jpg", "Heronwatch.ini", "Eventlog/event.log"})
    shipped.Write(file, "shipped");

  const struct {
    const char* name;
    std::function<std::u16string(const WorkFolderLayout&)> path;
    const char* relative;  // the file's path below the folder it comes from
    bool fromShipped;
  } cases[] = {
      {"station list read", [](auto& f) { return f.LoadedStationsFile(); }, "Setting/Stations.ini",
       false},
      {"station list written", [](auto& f) { return f.StationsFile(); }, "Setting/Stations.ini",
       false},
      {"AreaInfo", [](auto& f) { return f.AreaInfoFile(); }, "Setting/AreaInfo.ini", true},
      {"LandArea in neither", [](auto& f) { return f.LandAreaFile(); }, "Setting/LandArea.ini",
       false},
      {"demo", [](auto& f) { return f.DemoFile(); }, "Storage/demo.json", false},
      {"rotating demo", [](auto& f) { return f.RotatingDemoFile(2); }, "Storage/demo2.json", true},
      {"chime", [](auto& f) { return f.NotifySoundFile(); }, "Sound/notify.wav", true},
      {"theme layout in any case", [](auto& f) { return f.ThemeLayoutFile(u"T"); },
       "Theme/T/setting.ini", false},
      {"theme picture", [](auto& f) { return f.Theme(u"T").Find(u"\\map\\JP_MAP1.jpg"); },
       "Theme/T/Map/jp_map1.jpg", true},
      {"settings", [](auto& f) { return f.SettingsFile(); }, "Heronwatch.ini", false},
      {"event log", [](auto& f) { return f.EventLogFile(); }, "Eventlog/event.log", false},
  };
  const WorkFolderLayout withRuntime(user.U16(), shipped.U16());
  const WorkFolderLayout alone(user.U16());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path expected = (c.fromShipped ? shipped.path() : user.path()) / c.relative;
    EXPECT_EQ(fs::path(NativePath(c.path(withRuntime))), expected);
    if (!c.fromShipped) {
      EXPECT_EQ(fs::path(NativePath(c.path(alone))), expected);
    }
  }
  EXPECT_EQ(NativePath(withRuntime.ShippedThemesFolder()), (shipped.path() / "Theme/").string());
  EXPECT_TRUE(alone.ShippedThemesFolder().empty());
  EXPECT_TRUE(alone.Theme(u"T").shipped.empty());
}

}  // namespace
}  // namespace hw

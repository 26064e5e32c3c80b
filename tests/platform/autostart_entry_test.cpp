#include "platform/autostart_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fakes/scoped_environment.h"
#include "fakes/temp_folder.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

class AutostartEntryTest : public ::testing::Test {
 protected:
  fs::path Entry() const {
    return config.path() / "autostart" / (std::string(DesktopEntryId()) + ".desktop");
  }

  test::TempFolder config;
  test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().string()};
};

TEST_F(AutostartEntryTest, EntryLiesUnderTheConfigFolderOrHomeConfig) {
  EXPECT_EQ(AutostartEntryPath(), Entry());
  // A relative XDG_CONFIG_HOME is ignored, as an unset one is.
  const test::ScopedEnv home("HOME", config.path().string());
  for (const char* value : {"", "relative/config"}) {
    const test::ScopedEnv relative("XDG_CONFIG_HOME", value);
    EXPECT_EQ(AutostartEntryPath(), config.path() / ".config" / "autostart" / Entry().filename());
  }
}

TEST_F(AutostartEntryTest, OnWritesAnEntryThatStartsTheProgram) {
  const struct {
    const char* program;
    const char* exec;
    const char* tryExec;
  } cases[] = {
      {"/usr/bin/heronwatch", "Exec=/usr/bin/heronwatch\n", "TryExec=/usr/bin/heronwatch\n"},
      {"/opt/My Apps/heronwatch", "Exec=\"/opt/My Apps/heronwatch\"\n",
       "TryExec=/opt/My Apps/heronwatch\n"},
      // $ and \ are escaped inside the quotes, and the backslashes doubled again for the
      // value; % would start a field code. TryExec is a plain string: only \ is doubled.
      {"/opt/a$b\\c/100%/hw", "Exec=\"/opt/a\\\\$b\\\\\\\\c/100%%/hw\"\n",
       "TryExec=/opt/a$b\\\\c/100%/hw\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    std::string error;
    ASSERT_TRUE(SetAutostart(true, c.program, error)) << error;
    const std::string text = config.Read(Entry().lexically_relative(config.path()));
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\n"));
    EXPECT_NE(text.find(c.exec), std::string::npos) << text;
    EXPECT_NE(text.find(c.tryExec), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=io.github.heronwatch.heronwatch\n"), std::string::npos);
  }
}

// An entry under the id earlier versions used would start a second copy at login.
TEST_F(AutostartEntryTest, TheEntryOfTheOldIdGoes) {
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on);
    config.Write("autostart/io.github.heronwatch.Heronwatch.desktop", "[Desktop Entry]\n");
    std::string error;
    ASSERT_TRUE(SetAutostart(on, "/usr/bin/heronwatch", error)) << error;
    EXPECT_FALSE(fs::exists(config.path() / "autostart/io.github.heronwatch.Heronwatch.desktop"));
    EXPECT_EQ(fs::exists(Entry()), on);
  }
}

TEST_F(AutostartEntryTest, OffRemovesTheEntryAndIsFineWithoutOne) {
  std::string error;
  ASSERT_TRUE(SetAutostart(true, "/usr/bin/heronwatch", error)) << error;
  ASSERT_TRUE(fs::exists(Entry()));
  EXPECT_TRUE(SetAutostart(false, "/usr/bin/heronwatch", error)) << error;
  EXPECT_FALSE(fs::exists(Entry()));
  EXPECT_TRUE(SetAutostart(false, "/usr/bin/heronwatch", error)) << error;
  EXPECT_TRUE(fs::is_directory(Entry().parent_path()));
}

// Each case fails as well for root, who may write anywhere.
TEST_F(AutostartEntryTest, FailuresSayWhatCouldNotBeDone) {
  const struct {
    const char* name;
    bool enabled;
    const char* program;
    bool autostartIsAFile;  // else the entry is a folder with a file in it
    const char* reason;
  } cases[] = {
      {"folder is a file", true, "/usr/bin/heronwatch", true, "cannot create "},
      {"entry is a full folder", true, "/usr/bin/heronwatch", false, "cannot write "},
      {"entry cannot be removed", false, "/usr/bin/heronwatch", false, "cannot remove "},
      {"relative program", true, "heronwatch", false, "not an absolute path"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(config.path() / "autostart");
    if (c.autostartIsAFile) {
      config.Write("autostart", "not a folder");
    } else {
      config.Write(Entry().lexically_relative(config.path()) / "kept", "x");
    }
    std::string error;
    EXPECT_FALSE(SetAutostart(c.enabled, c.program, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  // Off with the folder being a file: there is no entry to remove.
  fs::remove_all(config.path() / "autostart");
  config.Write("autostart", "not a folder");
  std::string error;
  EXPECT_TRUE(SetAutostart(false, "/usr/bin/heronwatch", error)) << error;
}

}  // namespace
}  // namespace hw

#include "platform/instance_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "fakes/scoped_environment.h"
#include "fakes/temp_folder.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

// Another process holding the lock file in `folder`, as another user's copy would.
int HoldLockIn(const fs::path& folder) {
  const int fd = ::open((folder / "Heronwatch.exe.lock").c_str(), O_RDWR | O_CREAT, 0666);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  return fd;
}

// Without a runtime folder the lock goes to "<tmp>/heronwatch-UID" only when that folder is
// ours alone; a folder someone else could have made or can write to is passed over, so that
// nobody else's lock keeps this user from starting.
TEST(InstanceLock, TemporaryFolderIsUsedOnlyWhenItIsPrivate) {
  struct Case {
    const char* name;
    void (*prepare)(const fs::path& shared, const fs::path& elsewhere);
    bool usesShared;
  };
  const Case cases[] = {
      {"missing: made private", [](const fs::path&, const fs::path&) {}, true},
      {"private folder of ours",
       [](const fs::path& shared, const fs::path&) { fs::create_directory(shared); }, true},
      {"writable by everyone",
       [](const fs::path& shared, const fs::path&) {
         fs::create_directory(shared);
         fs::permissions(shared, fs::perms::all);
       },
       false},
      {"writable by the group",
       [](const fs::path& shared, const fs::path&) {
         fs::create_directory(shared);
         fs::permissions(shared, fs::perms::owner_all | fs::perms::group_all);
       },
       false},
      {"a symbolic link",
       [](const fs::path& shared, const fs::path& elsewhere) {
         fs::create_directory(elsewhere);
         fs::permissions(elsewhere, fs::perms::owner_all);
         fs::create_directory_symlink(elsewhere, shared);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder temp;
    const fs::path tmp = temp.path() / "tmp";
    const fs::path home = temp.path() / "home";
    fs::create_directories(tmp);
    fs::create_directories(home);
    const test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    const test::ScopedEnv cache("XDG_CACHE_HOME", std::nullopt);
    const test::ScopedEnv tmpdir("TMPDIR", tmp.string());
    const test::ScopedEnv homeDir("HOME", home.string());
    const fs::path shared = tmp / ("heronwatch-" + std::to_string(::getuid()));
    const fs::path elsewhere = temp.path() / "elsewhere";
    c.prepare(shared, elsewhere);

    if (c.usesShared) {
      const auto first = MakeSystemInstanceLock();
      EXPECT_TRUE(first->TryAcquire("Heronwatch.exe"));
      EXPECT_TRUE(fs::exists(shared / "Heronwatch.exe.lock"));
      EXPECT_EQ(
          fs::status(shared).permissions() & (fs::perms::group_write | fs::perms::others_write),
          fs::perms::none);
      continue;
    }
    // The lock held in the folder that is not ours does not matter; the user's own folder
    // guards against a second copy instead.
    const int foreign = HoldLockIn(fs::is_symlink(shared) ? elsewhere : shared);
    const auto first = MakeSystemInstanceLock();
    const auto second = MakeSystemInstanceLock();
    EXPECT_TRUE(first->TryAcquire("Heronwatch.exe"));
    EXPECT_FALSE(second->TryAcquire("Heronwatch.exe"));
    EXPECT_TRUE(fs::exists(home / ".cache" / "heronwatch" / "Heronwatch.exe.lock"));
    ::close(foreign);
  }
}

}  // namespace
}  // namespace hw

#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fakes/file_size_limit.h"
#include "fakes/temp_folder.h"
#include "platform/read_only_file.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

std::u16string PathIn(const test::TempFolder& folder, const char* name) {
  return (folder.path() / name).u16string();
}

// A FIFO would block an open for reading until a writer comes (and one for writing until a
// reader comes); every reader and writer refuses it at once and leaves it in place.
TEST(FileSystem, SpecialFilesAreRefusedWithoutWaiting) {
  test::TempFolder folder;
  ASSERT_EQ(::mkfifo((folder.path() / "fifo").c_str(), 0600), 0);
  const std::u16string fifo = PathIn(folder, "fifo");

  const FileBytes read = ReadRegularFile(fifo, 100);
  EXPECT_EQ(read.status, FileBytes::Status::kFailed);
  EXPECT_EQ(read.error, "not a regular file");
  EXPECT_FALSE(ReadFileBytes(fifo, 100));
  EXPECT_FALSE(CanOpenForReading(fifo));
  EXPECT_FALSE(ReadOnlyFile::Open(fifo));
  EXPECT_FALSE(RegularFileSize(fifo));
  EXPECT_FALSE(AppendToFile(fifo, "line\n"));
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(fifo, "text", &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos);
  EXPECT_TRUE(fs::is_fifo(folder.path() / "fifo"));

  EXPECT_EQ(ReadRegularFile(PathIn(folder, "absent"), 100).status, FileBytes::Status::kMissing);
}

TEST(FileSystem, AtomicWriteReplacesALinksTargetAndKeepsItsPermissions) {
  test::TempFolder folder;
  folder.Write("real/settings.ini", "old");
  fs::permissions(folder.path() / "real/settings.ini",
                  fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real/settings.ini", folder.path() / "link.ini");
  fs::create_symlink("link.ini", folder.path() / "chain.ini");

  ASSERT_TRUE(WriteFileAtomically(PathIn(folder, "chain.ini"), "new"));
  EXPECT_TRUE(fs::is_symlink(folder.path() / "chain.ini"));
  EXPECT_TRUE(fs::is_symlink(folder.path() / "link.ini"));
  EXPECT_EQ(folder.Read("real/settings.ini"), "new");
  EXPECT_EQ(fs::status(folder.path() / "real/settings.ini").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  // The temporary file lived beside the target and is gone.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "real"), {}), 1);
}

TEST(FileSystem, FullDiskNeverLeavesAPartialLineOrFile) {
  test::TempFolder folder;
  folder.Write("log", "first\n");
  folder.Write("whole", "old content");
  std::string error;
  {
    const test::FileSizeLimit full(10);
    EXPECT_FALSE(AppendToFile(PathIn(folder, "log"), "second line\n"));
    EXPECT_FALSE(WriteFileAtomically(PathIn(folder, "whole"), std::string(100, 'x'), &error));
  }
  EXPECT_EQ(folder.Read("log"), "first\n");
  EXPECT_EQ(folder.Read("whole"), "old content");
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2);
}

// Whatever stands under the old fixed temporary name (or any name) is never opened: a link
// there keeps its target, and the file itself becomes a regular file with the new text.
TEST(FileSystem, AtomicWriteNeverWritesThroughAPlantedTemporary) {
  struct Plant {
    const char* what;
    void (*make)(const fs::path& at, const fs::path& victim);
  };
  const Plant plants[] = {
      {"link to a file",
       [](const fs::path& at, const fs::path& victim) { fs::create_symlink(victim, at); }},
      {"dangling link",
       [](const fs::path& at, const fs::path& victim) {
         fs::create_symlink(victim.parent_path() / "nowhere", at);
       }},
      {"FIFO", [](const fs::path& at, const fs::path&) { ::mkfifo(at.c_str(), 0600); }},
      {"folder", [](const fs::path& at, const fs::path&) { fs::create_directory(at); }},
  };
  for (const Plant& plant : plants) {
    SCOPED_TRACE(plant.what);
    test::TempFolder folder;
    folder.Write("victim", "precious");
    folder.Write("Storage/history.json", "old");
    const fs::path planted = folder.path() / "Storage/history.json.tmp";
    plant.make(planted, folder.path() / "victim");
    const fs::file_type plantedType = fs::symlink_status(planted).type();

    ASSERT_TRUE(WriteFileAtomically(PathIn(folder, "Storage/history.json"), "new"));
    EXPECT_EQ(folder.Read("victim"), "precious");
    EXPECT_FALSE(fs::exists(folder.path() / "nowhere"));
    EXPECT_EQ(fs::symlink_status(planted).type(), plantedType);
    EXPECT_EQ(fs::symlink_status(folder.path() / "Storage/history.json").type(),
              fs::file_type::regular);
    EXPECT_EQ(folder.Read("Storage/history.json"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "Storage"), {}), 2);
  }
}

}  // namespace
}  // namespace hw

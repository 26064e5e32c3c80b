#include "app/working_folder.h"

#include <cstdlib>
#include <map>
#include <set>
#include <system_error>

#include "platform/file_digest.h"
#include "platform/file_system.h"
#include "platform/standard_folders.h"

namespace hw {
namespace fs = std::filesystem;

namespace {

// Written once the copies earlier versions left have been looked at: from then on every file in
// the folder is the user's, even one that is still a shipped file's copy because the user has
// only just copied it there to change it.
constexpr const char* kUpgradedMarker = ".shipped-copies-removed";

// Removes the folders between `file` and `work` that dropping `file` left empty.
void RemoveEmptyFolders(const fs::path& file, const fs::path& work) {
  std::error_code ec;
  for (fs::path folder = file.parent_path(); folder != work && folder.has_relative_path();
       folder = folder.parent_path()) {
    if (!fs::is_empty(folder, ec) || ec || !fs::remove(folder, ec)) return;
  }
}

}  // namespace

std::optional<fs::path> UserWorkingFolder(std::string& error) {
  if (const char* work = std::getenv("HERONWATCH_WORKDIR"); work != nullptr && work[0] != '\0') {
    return fs::path(work);
  }
  const std::optional<fs::path> data = UserDataFolder(error);
  if (!data) return std::nullopt;
  return *data / "heronwatch";
}

bool PrepareWorkingFolder(const fs::path& work, const fs::path& runtime,
                          std::span<const SeededFile> seeded, FolderUpgrade& upgrade,
                          std::string& error) {
  std::error_code ec;
  fs::create_directories(work, ec);
  if (ec || !fs::is_directory(work)) {
    error = "cannot create " + work.string() + (ec ? ": " + ec.message() : "");
    return false;
  }
  // A working folder that is the runtime folder holds the shipped files themselves.
  if (!runtime.empty() && fs::equivalent(work, runtime, ec)) return true;
  const fs::path marker = work / kUpgradedMarker;
  if (fs::exists(fs::symlink_status(marker, ec))) return true;

  std::map<std::string_view, std::set<std::string_view>> versions;
  for (const SeededFile& file : seeded) {
    versions[file.path].insert(file.sha256);
  }
  for (const auto& [relative, hashes] : versions) {
    const fs::path path = work / fs::path(std::string(relative));
    if (!fs::exists(fs::symlink_status(path, ec))) continue;
    const std::optional<std::string> hash = Sha256OfFile(path);
    if (hash && hashes.contains(*hash) && fs::remove(path, ec)) {
      upgrade.dropped.emplace_back(relative);
      RemoveEmptyFolders(path, work);
    } else {
      upgrade.kept.emplace_back(relative);
    }
  }
  // A folder that cannot be written is looked at again at the next start.
  WriteFileAtomically(marker.u16string(),
                      "The copies of shipped files that earlier versions of Heronwatch left in "
                      "this folder have been removed; every file here is yours.\n");
  return true;
}

}  // namespace hw

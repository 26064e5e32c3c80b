#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

// The user's working folder: $HERONWATCH_WORKDIR when it is set, else "heronwatch" in the
// user's data folder (${XDG_DATA_HOME:-~/.local/share}). Nullopt with the reason in `error` when
// there is no data folder (no HOME and no absolute XDG_DATA_HOME): the program then does not
// start rather than making its folder wherever it was started from.
std::optional<std::filesystem::path> UserWorkingFolder(std::string& error);

// One version of a file that earlier versions copied from the runtime folder into working
// folders: its path below the folder ("/" separators) and the SHA-256 of its bytes.
struct SeededFile {
  std::string_view path;
  std::string_view sha256;
};

// Every file version earlier versions of the program seeded (generated from the history of
// runtime/ by tools/list_seeded_files.py).
std::span<const SeededFile> EarlierSeededFiles();

// What PrepareWorkingFolder did with the copies earlier versions left in the folder.
struct FolderUpgrade {
  std::vector<std::string> dropped;  // copies the user never changed, now read from the package
  std::vector<std::string> kept;     // copies the user changed, which go on winning
};

// Creates `work` when it is missing and, once per folder, drops from it every file of `seeded`
// that is still as it was seeded (its SHA-256 is one of a seeded version of that path), with the
// folders that this leaves empty, so that the installed runtime folder's newer file is read
// instead. A file the user changed, replaced by a link or added is never touched, and after the
// first start (a marker file records it) no file is: a shipped file the user copies in later, to
// change it, stays. Nothing is dropped when `work` is the runtime folder itself. False with a
// reason when the folder cannot be made.
bool PrepareWorkingFolder(const std::filesystem::path& work, const std::filesystem::path& runtime,
                          std::span<const SeededFile> seeded, FolderUpgrade& upgrade,
                          std::string& error);

}  // namespace hw

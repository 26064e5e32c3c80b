#pragma once

#include <filesystem>
#include <string>

namespace hw {

// The user's working folder: ${XDG_DATA_HOME:-~/.local/share}/heronwatch, or
// $HERONWATCH_WORKDIR when set.
std::filesystem::path UserWorkingFolder();

// The bundled runtime folder to seed from: $HERONWATCH_RUNTIME_DIR, else the installed or
// source-tree copy next to the program.
std::filesystem::path BundledRuntimeFolder(const std::filesystem::path& programPath);

// Creates `work` and copies every file of `runtime` that `work` lacks, keeping the folder
// structure; a file that already exists is never overwritten, so the user's changes stay.
// Each file is copied whole or not at all, so a failed copy is retried at the next start.
// False with a reason when the folder cannot be made or a file cannot be copied.
bool SeedWorkingFolder(const std::filesystem::path& runtime, const std::filesystem::path& work,
                       std::string& error);

}  // namespace hw

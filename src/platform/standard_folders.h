#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace hw {

// The user's data folder by the XDG base directory rules, as QStandardPaths finds it:
// $XDG_DATA_HOME, else ~/.local/share. A relative XDG_DATA_HOME is ignored, as the rules ask.
// Without an absolute HOME and an absolute XDG_DATA_HOME there is none: nullopt with the reason
// in `error`, never a folder below the root folder or the folder the program started in.
std::optional<std::filesystem::path> UserDataFolder(std::string& error);

// The runtime folder the program ships (themes, reference files, demo reports, chime, guides),
// read-only: $HERONWATCH_RUNTIME_DIR when it is set, else the installed one beside the
// program's bin/ folder, else, for a program run from its build folder, the source tree's
// runtime/. Empty when there is none.
std::filesystem::path ShippedRuntimeFolder();

}  // namespace hw

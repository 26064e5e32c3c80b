#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace hw {

// The SHA-256 of a regular file's bytes as 64 lower-case hexadecimal digits; nullopt when the
// path is not a regular file (a link, a folder, a FIFO) or cannot be read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& file);

}  // namespace hw

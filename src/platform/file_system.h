#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

// File access with the program's own path texts. Paths are UTF-16 and may use "\" as the
// folder separator (the program builds paths such as WorkingFolder + "\Setting"); each
// platform turns them into its native form.
std::string NativePath(std::u16string_view path);

// The process's current directory ("." when it cannot be read).
std::u16string GetCurrentFolder();

// Creates one folder; an existing folder is no error. Returns false on failure.
bool CreateFolder(std::u16string_view path);

// The names of the entries of a folder that are folders themselves, sorted by name (the order
// an NTFS listing gives); nullopt when the folder cannot be listed.
std::optional<std::vector<std::u16string>> ListSubfolders(std::u16string_view path);

// The file's first `maxBytes` bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes);

// True when the file can be opened for reading.
bool CanOpenForReading(std::u16string_view path);

// Appends bytes to a file, creating the file but not its folder. False when it cannot.
bool AppendToFile(std::u16string_view path, std::string_view bytes);

// Writes a whole file through a temporary file and a rename, so readers see either the old
// or the new content. False when it cannot.
bool WriteFileAtomically(std::u16string_view path, std::string_view bytes);

}  // namespace hw

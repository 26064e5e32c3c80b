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

// `relative` (components separated by "\" or "/") below `folder`, with each component that
// has no entry of exactly its name replaced by the name of an entry that differs from it only
// in ASCII letter case (the first in name order), so that files named on a system that ignores
// case are found. Components from the first one that matches nothing on are kept as given.
// The result is `folder` + "\" + the components.
std::u16string FindIgnoringCase(std::u16string_view folder, std::u16string_view relative);

// True when the file can be opened for reading.
bool CanOpenForReading(std::u16string_view path);

// Appends bytes to a file, creating the file but not its folder. False when it cannot.
bool AppendToFile(std::u16string_view path, std::string_view bytes);

// Writes a whole file through a temporary file and a rename, so readers see either the old
// or the new content. False when it cannot.
bool WriteFileAtomically(std::u16string_view path, std::string_view bytes);

}  // namespace hw

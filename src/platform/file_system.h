#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whole-file writes have their own header; it comes with this one for the callers of both.
#include "platform/atomic_file.h"

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

// Only regular files (or links to them) are read: a FIFO, a device or a socket under a file's
// name would block the program or never end, so they are refused without waiting on them.

// The outcome of reading a file: its first bytes, or why they could not be read.
struct FileBytes {
  enum class Status : std::uint8_t {
    kRead,     // `bytes` holds the file's first bytes
    kMissing,  // there is no file (or folder) of that name
    kFailed,   // it exists but cannot be read, or is not a regular file
  };
  Status status = Status::kFailed;
  std::string bytes;
  std::string error;  // why it failed, for messages
};
FileBytes ReadRegularFile(std::u16string_view path, std::size_t maxBytes);

// The file's first `maxBytes` bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes);

// `relative` (components separated by "\" or "/") below `folder`, with each component that
// has no entry of exactly its name replaced by the name of an entry that differs from it only
// in ASCII letter case (the first in name order), so that files named on a system that ignores
// case are found. Components from the first one that matches nothing on are kept as given.
// The result is `folder` + "\" + the components.
std::u16string FindIgnoringCase(std::u16string_view folder, std::u16string_view relative);

// True when the path names a regular file (or a link to one) that can be opened for reading.
bool CanOpenForReading(std::u16string_view path);

// The size of a regular file; nullopt when there is none.
std::optional<std::uint64_t> RegularFileSize(std::u16string_view path);

// When a regular file was last written, in local time; nullopt when there is no such file.
std::optional<std::tm> FileModifiedLocalTime(std::u16string_view path);

// Renames a file, replacing `to`. False when it cannot, with the reason in `error` when given.
bool RenameFile(std::u16string_view from, std::u16string_view to, std::string* error = nullptr);

// Cuts a regular file in place down to its last `keepBytes` bytes or fewer, starting after a
// line feed so that it begins with a whole line; for a file that cannot be rotated by renaming
// (its folder is not writable) but must not grow without end. False when it cannot, with the
// reason in `error` when given.
bool KeepFileTail(std::u16string_view path, std::uint64_t keepBytes, std::string* error = nullptr);

// Appends bytes to a regular file, creating the file but not its folder, with one write: when
// the disk is full the file is cut back to where it was, so it never ends in a partial
// record. False when it cannot.
bool AppendToFile(std::u16string_view path, std::string_view bytes);

}  // namespace hw

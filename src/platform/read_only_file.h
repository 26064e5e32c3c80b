#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace hw {

// A file held open for reading at any offset, closed when the object goes: for files read in
// parts long after they were opened, such as a map picture kept on disk. Paths are the
// program's path texts, as in file_system.h.
class ReadOnlyFile {
 public:
  // nullopt when the file is missing, a folder, or cannot be read.
  static std::optional<ReadOnlyFile> Open(std::u16string_view path);

  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile();

  // The size when the file was opened.
  std::uint64_t size() const { return size_; }

  // Reads `count` bytes at `offset` into `out`; false when the file ends before or cannot be
  // read.
  bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const;

 private:
  ReadOnlyFile(std::intptr_t handle, std::uint64_t size) : handle_(handle), size_(size) {}

  std::intptr_t handle_ = -1;  // the platform's file handle
  std::uint64_t size_ = 0;
};

}  // namespace hw

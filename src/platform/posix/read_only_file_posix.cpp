#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/read_only_file.h"

namespace hw {

std::optional<ReadOnlyFile> ReadOnlyFile::Open(std::u16string_view path) {
  // Non-blocking, so that a FIFO under the file's name is refused instead of waited on.
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return ReadOnlyFile(fd, static_cast<std::uint64_t>(info.st_size));
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), size_(std::exchange(other.size_, 0)) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool ReadOnlyFile::ReadAt(std::uint64_t offset, void* out, std::size_t count) const {
  if (handle_ < 0) return false;
  auto* bytes = static_cast<char*>(out);
  while (count > 0) {
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    const ssize_t got =
        ::pread(static_cast<int>(handle_), bytes, count, static_cast<off_t>(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return false;
    bytes += got;
    count -= static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace hw

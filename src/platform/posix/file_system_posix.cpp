#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/posix/descriptor.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

using posix::Descriptor;

// Opens a regular file for reading without ever waiting: O_NONBLOCK makes opening a FIFO
// return at once, and fstat then refuses anything that is not a regular file. -1 with `error`
// (and errno) set when the file cannot be read.
int OpenRegularForReading(const std::string& native, std::string& error) {
  const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? "is a folder" : "not a regular file";
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  // Regular files never block, but the flag is cleared so reads behave as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

std::string NativePath(std::u16string_view path) {
  std::string native = Utf16ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::u16string GetCurrentFolder() {
  char buffer[PATH_MAX];
  // A folder that vanished must not turn the program's paths into paths below the root.
  if (::getcwd(buffer, sizeof buffer) == nullptr) return u".";
  return Utf8ToUtf16(buffer);
}

bool CreateFolder(std::u16string_view path) {
  const std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0777) == 0) return true;
  struct stat info {};
  return errno == EEXIST && ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileBytes ReadRegularFile(std::u16string_view path, std::size_t maxBytes) {
  FileBytes result;
  Descriptor fd(OpenRegularForReading(NativePath(path), result.error));
  if (!fd.valid()) {
    result.status = errno == ENOENT || errno == ENOTDIR ? FileBytes::Status::kMissing
                                                        : FileBytes::Status::kFailed;
    return result;
  }
  char chunk[65536];
  while (result.bytes.size() < maxBytes) {
    const std::size_t want = std::min(sizeof chunk, maxBytes - result.bytes.size());
    const ssize_t got = ::read(fd.get(), chunk, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      result.error = std::strerror(errno);
      result.bytes.clear();
      return result;
    }
    if (got == 0) break;
    result.bytes.append(chunk, static_cast<std::size_t>(got));
  }
  result.status = FileBytes::Status::kRead;
  return result;
}

std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  FileBytes read = ReadRegularFile(path, maxBytes);
  if (read.status != FileBytes::Status::kRead) return std::nullopt;
  return std::move(read.bytes);
}

std::optional<std::vector<std::u16string>> ListSubfolders(std::u16string_view path) {
  const std::string folder = NativePath(path);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat info {};
    const std::string full = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
    if (::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  std::vector<std::u16string> result;
  result.reserve(names.size());
  for (const std::string& name : names) {
    result.push_back(Utf8ToUtf16(name));
  }
  return result;
}

std::u16string FindIgnoringCase(std::u16string_view folder, std::u16string_view relative) {
  const auto lower = [](std::string text) {
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
  };
  std::string native = NativePath(folder);
  std::u16string result(folder);
  bool found = true;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = relative.size();
    std::string name = Utf16ToUtf8(relative.substr(start, end - start));
    start = end + 1;
    if (name.empty()) continue;
    const std::string exact = native + "/" + name;
    struct stat info {};
    if (found && ::lstat(exact.c_str(), &info) != 0) {
      found = false;
      if (DIR* dir = ::opendir(native.c_str())) {
        std::vector<std::string> matches;
        const std::string wanted = lower(name);
        while (const dirent* entry = ::readdir(dir)) {
          if (lower(entry->d_name) == wanted) matches.emplace_back(entry->d_name);
        }
        ::closedir(dir);
        if (!matches.empty()) {
          name = *std::min_element(matches.begin(), matches.end());
          found = true;
        }
      }
    }
    native += "/" + name;
    result += u"\\" + Utf8ToUtf16(name);
  }
  return result;
}

bool CanOpenForReading(std::u16string_view path) {
  std::string error;
  return Descriptor(OpenRegularForReading(NativePath(path), error)).valid();
}

std::optional<std::uint64_t> RegularFileSize(std::u16string_view path) {
  struct stat info {};
  if (::stat(NativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::tm> FileModifiedLocalTime(std::u16string_view path) {
  struct stat info {};
  if (::stat(NativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::tm local{};
  if (localtime_r(&info.st_mtime, &local) == nullptr) return std::nullopt;
  return local;
}

bool RenameFile(std::u16string_view from, std::u16string_view to, std::string* error) {
  if (::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0) return true;
  if (error != nullptr) *error = std::strerror(errno);
  return false;
}

bool KeepFileTail(std::u16string_view path, std::uint64_t keepBytes, std::string* error) {
  auto fail = [error](int reason) {
    if (error != nullptr) *error = std::strerror(reason);
    return false;
  };
  Descriptor fd(::open(NativePath(path).c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  struct stat info {};
  if (!fd.valid()) return fail(errno);
  if (::fstat(fd.get(), &info) != 0) return fail(errno);
  if (!S_ISREG(info.st_mode)) return fail(EINVAL);
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size <= keepBytes) return true;
  // The kept part starts after the first line feed of the last `keepBytes` bytes.
  char chunk[65536];
  std::uint64_t from = size - keepBytes;
  for (bool found = false; !found && from < size;) {
    const ssize_t got = ::pread(fd.get(), chunk, sizeof chunk, static_cast<off_t>(from));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return fail(got < 0 ? errno : EIO);
    const void* feed = std::memchr(chunk, '\n', static_cast<std::size_t>(got));
    found = feed != nullptr;
    from += found ? static_cast<std::uint64_t>(static_cast<const char*>(feed) - chunk) + 1
                  : static_cast<std::uint64_t>(got);
  }
  // Moved to the front chunk by chunk; the source always lies ahead of what is written.
  std::uint64_t to = 0;
  while (from < size) {
    const ssize_t got = ::pread(fd.get(), chunk, sizeof chunk, static_cast<off_t>(from));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return fail(got < 0 ? errno : EIO);
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::pwrite(fd.get(), chunk + done, static_cast<std::size_t>(got - done),
                                   static_cast<off_t>(to));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return fail(put < 0 ? errno : EIO);
      done += put;
      to += static_cast<std::uint64_t>(put);
    }
    from += static_cast<std::uint64_t>(got);
  }
  if (::ftruncate(fd.get(), static_cast<off_t>(to)) != 0) return fail(errno);
  return true;
}

bool AppendToFile(std::u16string_view path, std::string_view bytes) {
  // Non-blocking, so that a FIFO without a reader fails at once instead of waiting for one.
  Descriptor fd(::open(NativePath(path).c_str(),
                       O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0666));
  struct stat info {};
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  ssize_t written = 0;
  do {
    written = ::write(fd.get(), bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(bytes.size())) return true;
  // A short write (a full disk, a file size limit) would leave a partial record that the next
  // one is glued to; the file goes back to its old end instead. When even that fails, there is
  // nothing left to do but report the failed write.
  if (written > 0 && ::ftruncate(fd.get(), info.st_size) != 0) return false;
  return false;
}

}  // namespace hw

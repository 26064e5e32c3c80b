#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

// Closes a descriptor when the scope ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
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

std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  Descriptor fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  while (bytes.size() < maxBytes) {
    const std::size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
    const ssize_t got = ::read(fd.get(), chunk, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return bytes;
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
  for (const std::string& name : names)
    result.push_back(Utf8ToUtf16(name));
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
  Descriptor fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return false;
  struct stat info {};
  return ::fstat(fd.get(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool AppendToFile(std::u16string_view path, std::string_view bytes) {
  Descriptor fd(::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
  return fd.valid() && WriteAll(fd.get(), bytes);
}

bool WriteFileAtomically(std::u16string_view path, std::string_view bytes) {
  const std::string target = NativePath(path);
  const std::string temporary = target + ".tmp";
  {
    Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.valid()) return false;
    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (::close(fd.Release()) != 0 || !written) {
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace hw

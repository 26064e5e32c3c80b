#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/posix/descriptor.h"

namespace hw {
namespace {

using posix::Descriptor;

// Attempts at a fresh temporary name before giving up; a clash needs someone to guess 60
// random bits, so more than one attempt only ever happens under attack.
constexpr int kNameAttempts = 16;

// "<target>.<12 random letters and digits>.tmp": unique, beside the target (so the rename
// stays on one file system), and recognisable as the program's.
std::string TemporaryName(const std::string& target) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::uint64_t bits = (std::uint64_t{random()} << 32) ^ random();
  std::string name = target + ".";
  for (int i = 0; i < 12; ++i) {
    name += kLetters[bits % 36];
    bits /= 36;
  }
  return name + ".tmp";
}

// Creates a new temporary file for `target` that did not exist before under any form: an
// existing name (a planted link, FIFO or file) is never opened, and another name is tried.
int CreateTemporary(const std::string& target, mode_t mode, std::string& temporary) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = TemporaryName(target);
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool WriteFileAtomically(std::u16string_view path, std::string_view bytes, std::string* error) {
  auto fail = [error](std::string reason) {
    if (error != nullptr) *error = std::move(reason);
    return false;
  };
  std::string target = NativePath(path);
  // A link is followed to the file it names, so the link stays and its target gets the text.
  for (int hops = 0;; ++hops) {
    struct stat link {};
    if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    if (hops == 40) return fail(target + ": " + std::strerror(ELOOP));
    std::string next(PATH_MAX, '\0');
    const ssize_t length = ::readlink(target.c_str(), next.data(), next.size());
    if (length < 0) return fail(target + ": " + std::strerror(errno));
    next.resize(static_cast<std::size_t>(length));
    const std::size_t slash = target.rfind('/');
    if (!next.starts_with('/') && slash != std::string::npos) {
      next = target.substr(0, slash + 1) + next;
    }
    target = std::move(next);
  }
  mode_t mode = 0666;
  bool keepMode = false;
  if (struct stat info{}; ::stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return fail(target + ": not a regular file");
    mode = info.st_mode & 07777;
    keepMode = true;
  }
  std::string temporary;
  {
    Descriptor fd(CreateTemporary(target, mode, temporary));
    if (!fd.valid()) return fail(temporary + ": " + std::strerror(errno));
    bool written = posix::WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    int reason = errno;
    // The umask applied at creation; the replaced file's own permissions are restored.
    if (written && keepMode && ::fchmod(fd.get(), mode) != 0) {
      written = false;
      reason = errno;
    }
    if (::close(fd.Release()) != 0 && written) {
      written = false;
      reason = errno;
    }
    if (!written) {
      ::unlink(temporary.c_str());
      return fail(temporary + ": " + std::strerror(reason));
    }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int reason = errno;
    ::unlink(temporary.c_str());
    return fail(target + ": " + std::strerror(reason));
  }
  return true;
}

}  // namespace hw

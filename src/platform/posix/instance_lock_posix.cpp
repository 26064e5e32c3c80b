#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/instance_lock.h"

namespace hw {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A folder the lock may live in: a real folder (not a symbolic link) that belongs to this user
// and that no one else can write to. In any other folder another user could hold the lock
// first, or swap the lock file, and so keep this user from starting the program.
bool IsPrivateFolder(const std::string& folder) {
  struct stat info {};
  return !folder.empty() && ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder, made private to this user when it does not exist yet; empty when it exists but
// is not private.
std::string PrivateFolder(const std::string& folder) {
  if (folder.empty()) return {};
  ::mkdir(folder.c_str(), 0700);
  return IsPrivateFolder(folder) ? folder : std::string();
}

// The user's runtime folder ($XDG_RUNTIME_DIR); without one, a per-user folder under the
// temporary folder; when that one is not ours, a folder in the user's cache folder. Empty when
// none can be had.
std::string LockFolder() {
  if (const std::string runtime = Environment("XDG_RUNTIME_DIR"); IsPrivateFolder(runtime)) {
    return runtime;
  }
  const std::string tmp = Environment("TMPDIR");
  const std::string shared = (tmp.empty() ? std::string("/tmp") : tmp) + "/heronwatch-" +
                             std::to_string(static_cast<unsigned long>(::getuid()));
  if (const std::string folder = PrivateFolder(shared); !folder.empty()) return folder;

  std::string cache = Environment("XDG_CACHE_HOME");
  if (cache.empty() && !Environment("HOME").empty()) {
    cache = Environment("HOME") + "/.cache";
    ::mkdir(cache.c_str(), 0700);
  }
  const std::string own = cache.empty() ? std::string() : PrivateFolder(cache + "/heronwatch");
  std::fprintf(stderr,
               "heronwatch: %s is not a private folder of this user; the single-instance lock "
               "is %s\n",
               shared.c_str(), own.empty() ? "not used" : ("kept in " + own).c_str());
  return own;
}

// An flock() on a file: the kernel drops it when the process ends, however it ends.
class FileInstanceLock final : public InstanceLock {
 public:
  FileInstanceLock() = default;
  ~FileInstanceLock() override {
    if (fd_ >= 0) ::close(fd_);
  }
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  bool TryAcquire(const std::string& name) override {
    if (fd_ >= 0) return true;
    const std::string folder = LockFolder();
    // A lock that cannot be had must not keep the user from running the program.
    if (folder.empty()) return true;
    door_ = folder + "/" + name + ".socket";
    const std::string path = folder + "/" + name + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    fd_ = fd;
    return true;
  }

  std::string DoorPath() const override { return door_; }

 private:
  int fd_ = -1;
  std::string door_;
};

}  // namespace

std::unique_ptr<InstanceLock> MakeSystemInstanceLock() {
  return std::make_unique<FileInstanceLock>();
}

}  // namespace hw

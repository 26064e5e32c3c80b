#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/instance_lock.h"

namespace hw {
namespace {

// The user's runtime folder ($XDG_RUNTIME_DIR), or a per-user folder under the temporary
// folder when the session has none.
std::string LockFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/heronwatch-" +
                       std::to_string(static_cast<unsigned long>(::getuid()));
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

// An flock() on a file: the kernel drops it when the process ends, however it ends.
class FileInstanceLock final : public InstanceLock {
 public:
  ~FileInstanceLock() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool TryAcquire(const std::string& name) override {
    if (fd_ >= 0) return true;
    const std::string path = LockFolder() + "/" + name + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock file that cannot be made must not keep the user from running the program.
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    fd_ = fd;
    return true;
  }

 private:
  int fd_ = -1;
};

}  // namespace

std::unique_ptr<InstanceLock> MakeSystemInstanceLock() {
  return std::make_unique<FileInstanceLock>();
}

}  // namespace hw

#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdint>

namespace hw::test {

// Makes the disk look full for this process while it lives: writes past `bytes` of any file
// fail with EFBIG after writing what fits, as they would with ENOSPC on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes) {
    previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousSignal_)(int) = nullptr;
};

}  // namespace hw::test

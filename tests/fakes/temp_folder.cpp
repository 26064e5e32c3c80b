#include "fakes/temp_folder.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/text_codec.h"

namespace hw::test {
namespace fs = std::filesystem;

TempFolder::TempFolder(bool enter) {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("hw-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
  if (enter) {
    previous_ = fs::current_path();
    fs::current_path(path_);
    entered_ = true;
  }
}

TempFolder::~TempFolder() {
  std::error_code ec;
  if (entered_) fs::current_path(previous_, ec);
  // Read-only folders made by a test must not keep the folder from being removed.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::u16string TempFolder::U16() const {
  return Utf8ToUtf16(path_.string());
}

void TempFolder::Write(const fs::path& relative, std::string_view bytes) const {
  const fs::path full = path_ / relative;
  fs::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(const fs::path& relative) const {
  std::ifstream in(path_ / relative, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace hw::test

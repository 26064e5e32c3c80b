#include "app/working_folder.h"

#include <cstdlib>
#include <limits>
#include <system_error>

#include "platform/file_system.h"

namespace hw {
namespace fs = std::filesystem;

namespace {

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Copies one file through a temporary name and a rename: a copy cut short (a full disk) never
// stands under the file's name, where later starts would take it for the user's own file.
bool SeedFile(const fs::path& from, const fs::path& to, std::string& error) {
  const FileBytes read = ReadRegularFile(from.u16string(), std::numeric_limits<std::size_t>::max());
  std::string reason = read.error;
  if (read.status == FileBytes::Status::kRead &&
      WriteFileAtomically(to.u16string(), read.bytes, &reason)) {
    return true;
  }
  error = "cannot copy " + from.string() + " to " + to.string() + ": " + reason;
  return false;
}

}  // namespace

fs::path UserWorkingFolder() {
  if (const std::string work = EnvOrEmpty("HERONWATCH_WORKDIR"); !work.empty()) return work;
  if (const std::string data = EnvOrEmpty("XDG_DATA_HOME"); !data.empty()) {
    return fs::path(data) / "heronwatch";
  }
  const std::string home = EnvOrEmpty("HOME");
  return fs::path(home.empty() ? "." : home) / ".local" / "share" / "heronwatch";
}

fs::path BundledRuntimeFolder(const fs::path& programPath) {
  if (const std::string runtime = EnvOrEmpty("HERONWATCH_RUNTIME_DIR"); !runtime.empty()) {
    return runtime;
  }
  std::error_code ec;
  const fs::path installed =
      programPath.parent_path().parent_path() / "share" / "heronwatch" / "runtime";
  if (fs::is_directory(installed, ec)) return installed;
  return HW_SOURCE_RUNTIME_DIR;
}

bool SeedWorkingFolder(const fs::path& runtime, const fs::path& work, std::string& error) {
  std::error_code ec;
  fs::create_directories(work, ec);
  if (ec || !fs::is_directory(work)) {
    error = "cannot create " + work.string() + (ec ? ": " + ec.message() : "");
    return false;
  }
  if (!fs::is_directory(runtime, ec)) return true;  // nothing bundled to seed from
  for (auto it = fs::recursive_directory_iterator(runtime, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path target = work / fs::relative(it->path(), runtime, ec);
    if (ec) break;
    if (it->is_directory(ec)) {
      fs::create_directories(target, ec);
    } else if (!fs::exists(target, ec) && !ec) {
      if (!SeedFile(it->path(), target, error)) return false;
    }
    if (ec) {
      error = "cannot copy " + it->path().string() + " to " + target.string() + ": " + ec.message();
      return false;
    }
  }
  if (ec) {
    error = "cannot read " + runtime.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace hw

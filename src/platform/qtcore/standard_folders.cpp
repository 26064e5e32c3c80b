#include "platform/standard_folders.h"

#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <system_error>

namespace hw {
namespace fs = std::filesystem;

std::optional<fs::path> UserDataFolder(std::string& error) {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  const QString home = qEnvironmentVariable("HOME");
  if (QDir::isAbsolutePath(xdg) || (xdg.isEmpty() && QDir::isAbsolutePath(home))) {
    return fs::path(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());
  }
  // Qt takes a relative XDG_DATA_HOME as it is, and without HOME answers with a folder below
  // the root folder: neither is a place of this user's.
  if (QDir::isAbsolutePath(home)) return fs::path(home.toStdString()) / ".local" / "share";
  error =
      "HOME is not set and XDG_DATA_HOME is not an absolute path, so there is no folder "
      "for the user's data";
  return std::nullopt;
}

fs::path ShippedRuntimeFolder() {
  if (const QString runtime = qEnvironmentVariable("HERONWATCH_RUNTIME_DIR"); !runtime.isEmpty()) {
    return runtime.toStdString();
  }
  std::error_code ec;
  // The program's own file, whatever folder it was started from or by which name.
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = (program.parent_path() / HW_RUNTIME_FROM_BIN).lexically_normal();
    if (fs::is_directory(installed, ec)) return installed;
  }
  if (fs::is_directory(HW_SOURCE_RUNTIME_DIR, ec)) return HW_SOURCE_RUNTIME_DIR;
  return {};
}

}  // namespace hw

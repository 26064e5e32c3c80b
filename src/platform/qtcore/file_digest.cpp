#include "platform/file_digest.h"

#include <QCryptographicHash>
#include <QFile>
#include <system_error>

namespace hw {

std::optional<std::string> Sha256OfFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec))) {
    return std::nullopt;
  }
  QFile input(QFile::decodeName(QByteArray::fromStdString(file.string())));
  if (!input.open(QIODevice::ReadOnly)) return std::nullopt;
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&input)) return std::nullopt;
  return hash.result().toHex().toStdString();
}

}  // namespace hw

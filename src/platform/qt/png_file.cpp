#include "platform/qt/png_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/text_codec.h"

namespace hw {

bool WritePngFile(const std::string& path, const Surface& surface, const Rect& region) {
  const int left = std::max(region.left, 0);
  const int top = std::max(region.top, 0);
  const int right = std::min(region.right, surface.width());
  const int bottom = std::min(region.bottom, surface.height());
  if (surface.empty() || right <= left || bottom <= top) return false;
  // A view of the surface's pixels; copy() makes the one picture that is written.
  const QImage view(reinterpret_cast<const uchar*>(surface.pixels()), surface.width(),
                    surface.height(), static_cast<qsizetype>(surface.pitch()) * 4,
                    QImage::Format_RGB32);
  const QImage picture = view.copy(left, top, right - left, bottom - top);
  // Encoded in memory and written whole, as every file the program writes.
  QByteArray encoded;
  QBuffer buffer(&encoded);
  if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) return false;
  return WriteFileAtomically(
      Utf8ToUtf16(path),
      std::string_view(encoded.constData(), static_cast<std::size_t>(encoded.size())));
}

}  // namespace hw

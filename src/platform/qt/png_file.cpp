#include "platform/qt/png_file.h"

#include <QImage>
#include <QString>
#include <algorithm>

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
  return picture.save(QString::fromStdString(path), "PNG");
}

}  // namespace hw

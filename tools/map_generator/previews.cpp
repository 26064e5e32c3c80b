#include "previews.h"

#include <QColor>
#include <QImageWriter>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QString>
#include <cstdio>
#include <string>

#include "platform/blit.h"
#include "platform/qt/qt_picture_decoder.h"
#include "refdata/map_grid.h"
#include "refdata/project_to_grid.h"

namespace hw::mapgen {
namespace {

constexpr int kPanelWidth = 1920;
constexpr int kPanelHeight = 1080;
constexpr double kTokyoLatitude = 35.68;
constexpr double kTokyoLongitude = 139.77;

// A zoom level of the map view: the grid units across at MapXaxisPercent 100 (K), the source
// rectangle's size (W × H), the grid units above the centre (Q) and the factors that turn grid
// units into panel pixels (px = ((dx · a) / b) / percent, py = (dy · c) / e).
struct ViewLevel {
  int level, k, w, h, q, a, b, c, e;
};
constexpr ViewLevel kViewLevels[] = {
    {1, 320, 960, 540, 90, 2400, 4, 24, 4},
    {5, 1024, 3072, 1728, 288, 1500, 8, 15, 8},
    {10, 3072, 9216, 5184, 864, 500, 8, 5, 8},
};

bool SavePng(const QImage& image, const std::filesystem::path& path) {
  QImageWriter writer(QString::fromStdString(path.string()), "png");
  if (writer.write(image)) return true;
  std::fprintf(stderr, "hw-map-generator: cannot write %s: %s\n", path.c_str(),
               writer.errorString().toLocal8Bit().constData());
  return false;
}

QImage ViewOf(Surface& surface) {
  return QImage(reinterpret_cast<uchar*>(surface.pixels()), surface.width(), surface.height(),
                static_cast<qsizetype>(surface.pitch()) * 4, QImage::Format_RGB32);
}

}  // namespace

bool WriteEighthPreview(const QImage& map, const std::filesystem::path& path) {
  return SavePng(map.scaled(map.width() / 8, map.height() / 8, Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation),
                 path);
}

bool WriteViewPreviews(const std::filesystem::path& mapFile, const std::filesystem::path& directory,
                       const std::string& stem) {
  QtPictureDecoder decoder;
  const DecodedPicture map =
      decoder.DecodeFile(std::u16string(mapFile.u16string()), PictureFormat::kCompressed);
  if (!map.ok()) {
    std::fprintf(stderr, "hw-map-generator: cannot decode %s\n", mapFile.c_str());
    return false;
  }
  MapGrid grid;
  BuildMapGrid(grid);
  const GridPosition tokyo = ProjectToGrid(grid, kTokyoLatitude, kTokyoLongitude);
  bool written = true;
  for (const ViewLevel& view : kViewLevels) {
    const int originX = tokyo.gx - view.k / 2;
    const int originY = tokyo.gy - view.q;
    const int sourceX = 3 * originX + (view.level <= 2 ? 602 : 601);
    const int sourceY = 3 * originY + 598;
    Surface panel(kPanelWidth, kPanelHeight);
    StretchBlt(panel, 0, 0, kPanelWidth, kPanelHeight, map.picture, sourceX, sourceY, view.w,
               view.h);

    QImage image = ViewOf(panel);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int px = ((tokyo.gx - originX) * view.a / view.b) / 100;
    const int py = (tokyo.gy - originY) * view.c / view.e;
    painter.setPen(QPen(QColor(0xff, 0x40, 0x40), 3.0));
    painter.drawEllipse(QPointF(px + 0.5, py + 0.5), 12.0, 12.0);
    painter.end();
    const std::string name = stem + "-level" + std::to_string(view.level) + ".png";
    written = SavePng(image, directory / name) && written;
  }
  return written;
}

}  // namespace hw::mapgen

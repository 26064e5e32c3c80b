#include "platform/qt/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace hw {

// The drawing is laid out on a 256-unit grid.
QImage AppIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 256.0, size / 256.0);

  QLinearGradient sky(0, 0, 0, 256);
  sky.setColorAt(0, QColor(0x16, 0x34, 0x5f));
  sky.setColorAt(1, QColor(0x0a, 0x18, 0x30));
  QPainterPath tile;
  tile.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
  painter.fillPath(tile, sky);

  // Waves: arcs around the epicentre, fainter as they spread.
  const QPointF epicentre(92, 164);
  const int radii[] = {56, 100, 144};
  const int alphas[] = {255, 190, 120};
  painter.setClipPath(tile);
  for (int i = 0; i < 3; ++i) {
    QPen pen(QColor(0x6f, 0xd3, 0xff, alphas[i]), 14, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    const double r = radii[i];
    painter.drawArc(QRectF(epicentre.x() - r, epicentre.y() - r, 2 * r, 2 * r), -10 * 16, 100 * 16);
  }
  painter.setClipping(false);

  // The epicentre: a red cross with a yellow rim.
  const double arm = 26;
  for (const auto& [width, colour] :
       {std::pair{30.0, QColor(0xff, 0xe6, 0x00)}, std::pair{16.0, QColor(0xe6, 0x00, 0x12)}}) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(epicentre + QPointF(-arm, -arm), epicentre + QPointF(arm, arm));
    painter.drawLine(epicentre + QPointF(arm, -arm), epicentre + QPointF(-arm, arm));
  }
  painter.end();
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
  }
  return icon;
}

}  // namespace hw

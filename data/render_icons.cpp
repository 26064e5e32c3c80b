// Writes the application's icon as PNG files into a hicolor icon theme folder:
//   heronwatch-render-icons <icons folder> <icon name> <size>...
// gives <icons folder>/hicolor/<size>x<size>/apps/<icon name>.png for each size.

#include <QDir>
#include <QString>
#include <cstdio>

#include "platform/qt/app_icon.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <icons folder> <icon name> <size>...\n", argv[0]);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
    if (!isNumber || size < 1 || size > 1024) {
      std::fprintf(stderr, "not an icon size: %s\n", argv[i]);
      return 2;
    }
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
    const QString file = folder + QStringLiteral("/") + name + QStringLiteral(".png");
    if (!QDir().mkpath(folder) || !hw::AppIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}

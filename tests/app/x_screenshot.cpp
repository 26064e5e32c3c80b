// Writes what an X display shows to a PNG file, for the desktop tests' pictures:
//
//   hw_x_screenshot OUT.png [X Y WIDTH HEIGHT]
//
// The whole screen, or the rectangle given in screen pixels.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: %s OUT.png [X Y WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 1;
  // The screen's whole X root window, of which each monitor is a part.
  const QRect root = screen->virtualGeometry();
  QRect area = root;
  if (argc == 6) {
    area = QRect(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]))
               .intersected(root);
  }
  const QPixmap picture =
      screen->grabWindow(0, area.x() - screen->geometry().x(), area.y() - screen->geometry().y(),
                         area.width(), area.height());
  return picture.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}

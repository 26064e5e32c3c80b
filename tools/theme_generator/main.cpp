// hw-theme-generator: draws the default theme of Heronwatch.
//
//   hw-theme-generator THEME_DIR [--contact-sheet FILE.png] [--preview FILE.png]
//
// Writes THEME_DIR/Setting.ini (every layout key with its default) and every sprite picture
// of the theme as a 24-bit Windows bitmap; optionally a contact sheet of the sprites and a
// sample picture. The maps are not drawn here.

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "contact_sheet.h"
#include "default_theme.h"
#include "layout_file.h"
#include "platform/bitmap_file.h"
#include "platform/qt/qt_text_renderer.h"
#include "preview.h"

namespace {

namespace fs = std::filesystem;

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "hw-theme-generator: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

bool WritePng(const fs::path& path, hw::Surface& picture) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  const QImage image(reinterpret_cast<const uchar*>(picture.pixels()), picture.width(),
                     picture.height(), static_cast<qsizetype>(picture.pitch()) * 4,
                     QImage::Format_RGB32);
  if (image.save(QString::fromStdString(path.string()), "PNG")) return true;
  std::fprintf(stderr, "hw-theme-generator: cannot write %s\n", path.c_str());
  return false;
}

int Usage() {
  std::fputs(
      "usage: hw-theme-generator THEME_DIR [--contact-sheet FILE.png] [--preview FILE.png]\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  fs::path theme;
  fs::path contactSheet;
  fs::path preview;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--contact-sheet" && i + 1 < argc) {
      contactSheet = argv[++i];
    } else if (arg == "--preview" && i + 1 < argc) {
      preview = argv[++i];
    } else if (!arg.starts_with("--") && theme.empty()) {
      theme = arg;
    } else {
      return Usage();
    }
  }
  if (theme.empty()) return Usage();

  const hw::ThemeLayout layout;
  hw::QtTextRenderer text;
  const std::vector<hw::themegen::SpriteFile> files = hw::themegen::DrawDefaultTheme(layout, text);

  bool written = WriteFile(theme / "Setting.ini", hw::themegen::WriteLayoutFile(layout));
  for (const hw::themegen::SpriteFile& file : files)
    written = WriteFile(theme / file.path, hw::EncodeBitmapFile(file.picture)) && written;
  if (!contactSheet.empty()) {
    hw::Surface sheet = hw::themegen::DrawContactSheet(files, text);
    written = WritePng(contactSheet, sheet) && written;
  }
  if (!preview.empty()) {
    hw::Surface sample = hw::themegen::DrawPreview(layout, files, text);
    written = WritePng(preview, sample) && written;
  }
  std::printf("hw-theme-generator: %zu pictures and Setting.ini in %s\n", files.size(),
              theme.c_str());
  return written ? 0 : 1;
}

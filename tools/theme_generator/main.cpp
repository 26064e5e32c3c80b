// hw-theme-generator: draws the default theme of Heronwatch.
//
//   hw-theme-generator THEME_DIR [--contact-sheet FILE.png]
//                      [--workdir DIR --preview FILE.png --compositions FILE.png BODY.json...]
//
// Writes THEME_DIR/Setting.ini (every layout key with the theme's value) and every sprite
// picture of the theme as a 24-bit Windows bitmap; optionally a contact sheet of the sprites.
// With --workdir (a working folder whose theme is THEME_DIR, such as runtime/), the report
// bodies are then composed by the program's own composer with the theme just written: the
// preview is the window's picture of the first body with a comment (else the first body), the
// compositions sheet shows every body in the grid and the list form of the city table.
// The maps are not drawn here.

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/report_model.h"
#include "compositions.h"
#include "contact_sheet.h"
#include "default_theme.h"
#include "layout_file.h"
#include "platform/bitmap_file.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/text_codec.h"
#include "rev_layout.h"

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

bool WritePng(const fs::path& path, const hw::Surface& picture) {
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
      "usage: hw-theme-generator THEME_DIR [--contact-sheet FILE.png]\n"
      "         [--workdir DIR --preview FILE.png --compositions FILE.png BODY.json...]\n",
      stderr);
  return 2;
}

// Composes the bodies with the theme as written, in the grid form and in the list form, and
// writes the preview and the compositions sheet.
bool WriteCompositions(const fs::path& workdir, const fs::path& themeFile, const fs::path& preview,
                       const fs::path& sheet, const std::vector<std::string>& bodies,
                       hw::TextRenderer& text) {
  hw::ThemeLayout layout;
  hw::LoadThemeLayout(hw::Utf8ToUtf16(themeFile.string()), layout);
  std::string error;
  const std::vector<hw::themegen::Composition> grid =
      hw::themegen::ComposeBodies(workdir.string(), layout, bodies, error);
  hw::themegen::ApplyListForm(layout);
  const std::vector<hw::themegen::Composition> list =
      hw::themegen::ComposeBodies(workdir.string(), layout, bodies, error);
  if (grid.empty()) {
    std::fprintf(stderr, "hw-theme-generator: %s\n", error.c_str());
    return false;
  }
  bool written = true;
  if (!preview.empty()) {
    // A detailed report with a comment shows the most: markers, tables, ticker.
    const hw::themegen::Composition* shown = &grid.front();
    for (const hw::themegen::Composition& c : grid) {
      if (c.issueType == hw::DetailScale && c.hasComment) {
        shown = &c;
        break;
      }
    }
    written = WritePng(preview, shown->areaWindow) && written;
  }
  if (!sheet.empty()) {
    written = WritePng(sheet, hw::themegen::DrawCompositionSheet(grid, list, text)) && written;
  }
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  fs::path theme;
  fs::path contactSheet;
  fs::path workdir;
  fs::path preview;
  fs::path compositions;
  std::vector<std::string> bodies;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--contact-sheet" && i + 1 < argc) {
      contactSheet = argv[++i];
    } else if (arg == "--workdir" && i + 1 < argc) {
      workdir = argv[++i];
    } else if (arg == "--preview" && i + 1 < argc) {
      preview = argv[++i];
    } else if (arg == "--compositions" && i + 1 < argc) {
      compositions = argv[++i];
    } else if (!arg.starts_with("--") && theme.empty()) {
      theme = arg;
    } else if (!arg.starts_with("--") && !workdir.empty()) {
      bodies.emplace_back(arg);
    } else {
      return Usage();
    }
  }
  if (theme.empty() || (workdir.empty() != bodies.empty())) return Usage();

  const hw::ThemeLayout layout = hw::themegen::RevLayout();
  hw::QtTextRenderer text;
  const std::vector<hw::themegen::SpriteFile> files = hw::themegen::DrawDefaultTheme(layout, text);

  hw::ThemeLayout listForm = layout;
  hw::themegen::ApplyListForm(listForm);
  bool written = WriteFile(theme / "Setting.ini", hw::themegen::WriteLayoutFile(layout, listForm));
  for (const hw::themegen::SpriteFile& file : files)
    written = WriteFile(theme / file.path, hw::EncodeBitmapFile(file.picture)) && written;
  if (!contactSheet.empty()) {
    hw::Surface sheet = hw::themegen::DrawContactSheet(files, text);
    written = WritePng(contactSheet, sheet) && written;
  }
  std::printf("hw-theme-generator: %zu pictures and Setting.ini in %s\n", files.size(),
              theme.c_str());
  if (!workdir.empty()) {
    written =
        WriteCompositions(workdir, theme / "Setting.ini", preview, compositions, bodies, text) &&
        written;
  }
  return written ? 0 : 1;
}

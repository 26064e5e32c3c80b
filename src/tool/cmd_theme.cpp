// heronwatch-tool theme: the theme a working folder's program would load, as it loads it.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "display/layer_surfaces.h"
#include "display/theme_assets.h"
#include "platform/file_system.h"
#include "platform/map_picture.h"
#include "platform/qt/qt_headless_gui.h"
#include "platform/qt/qt_picture_decoder.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/text_codec.h"
#include "settings/theme_layout.h"
#include "tool/commands.h"
#include "tool/work_folder.h"

namespace hw::tool {
namespace {

std::string Text(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

// "\Intensity\MaxIntensity.bmp 3487x142", "built-in 149 640x64", "\Map\jp_map1.jpg (not
// decoded)" or "(not loaded)".
std::string Describe(const PictureSource& source, const LayerSurface& slot) {
  std::string origin;
  if (!source.file.empty()) {
    origin = Text(source.file);
  } else if (source.builtIn != 0) {
    origin = "built-in " + std::to_string(source.builtIn);
  } else {
    return "(not loaded)";
  }
  const auto size = [](int width, int height) {
    return " " + std::to_string(width) + "x" + std::to_string(height);
  };
  if (slot.map) return origin + size(slot.map->width(), slot.map->height());
  if (slot.surface.empty()) return origin + " (not decoded)";
  return origin + size(slot.surface.width(), slot.surface.height());
}

}  // namespace

// Prints the theme's name and folder, every layout value as "Section Key=value", the picture
// each sprite surface got, and the loader's result. Exits with 1 when the working folder is
// missing, a required picture could not be loaded or a map cannot be decoded.
int RunTheme(const Arguments& args) {
  const WorkFolderLayout layoutOfFolder = CommandWorkFolder(args);
  if (std::error_code ec; !std::filesystem::is_directory(NativePath(layoutOfFolder.root()), ec)) {
    std::fprintf(stderr, "heronwatch-tool: the working folder %s is missing\n",
                 NativePath(layoutOfFolder.root()).c_str());
    return 1;
  }

  const std::u16string name = WorkFolderThemeName(layoutOfFolder);
  const ThemeFiles files = layoutOfFolder.Theme(name);
  std::printf("Theme Name=%s\n", Text(name).c_str());
  std::printf("Theme Folder=%s\n", NativePath(files.user).c_str());
  if (!files.shipped.empty()) {
    std::printf("Theme Shipped Folder=%s\n", NativePath(files.shipped).c_str());
  }

  ThemeLayout layout;
  LoadThemeLayout(layoutOfFolder.ThemeLayoutFile(name), layout);
  for (const ThemeLayoutEntry& entry : ListThemeLayout(layout)) {
    std::printf("%s %s=%s\n", Text(entry.section).c_str(), Text(entry.key).c_str(),
                Text(entry.value).c_str());
  }

  const HeadlessGui gui;
  QtPictureDecoder decoder;
  QtTextRenderer text;
  LayerSurfaces surfaces;
  ThemeAssets assets(
      surfaces, [&files] { return files; }, decoder, text);
  const ThemeAssetResult code = assets.LoadThemeAssets();
  const ThemePictureRow* failed = nullptr;
  for (const ThemePictureRow& row : kThemePictureRows) {
    std::printf("Picture %s=%s\n", Text(row.surfaceName).c_str(),
                Describe(assets.SourceOf(row.surface), surfaces[row.surface]).c_str());
    if (code != ThemeAssetResult::kLoaded && row.failure == code && failed == nullptr) {
      failed = &row;
    }
  }
  std::printf("LoadThemeAssets=%d%s%s\n", static_cast<int>(code), failed != nullptr ? " " : "",
              failed != nullptr ? Text(failed->surfaceName).c_str() : "");
  // The maps are required: one that is there but cannot be decoded fails the theme as well.
  const std::vector<std::u16string> problems = assets.LoadProblems();
  for (const std::u16string& problem : problems) {
    std::fprintf(stderr, "heronwatch-tool: %s\n", Text(problem).c_str());
  }
  return code == ThemeAssetResult::kLoaded && problems.empty() ? 0 : 1;
}

}  // namespace hw::tool

#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "display/layer_surfaces.h"
#include "display/theme_asset_service.h"
#include "platform/picture_decoder.h"
#include "platform/text_renderer.h"
#include "platform/work_folder_layout.h"

namespace hw {

// Results of LoadJpegPicture.
enum class JpegLoadResult : int {
  kLoaded = 0,
  kCannotOpen = -1,
  kEmpty = -2,
  kNoMemory = -3,  // larger than kMaxJpegFileBytes
};

// One row of the theme loading table: which surface gets which picture file, what replaces a
// missing file, and which code a missing required picture ends the loading with.
struct ThemePictureRow {
  SurfaceIndex surface;
  std::u16string_view surfaceName;
  std::u16string_view file;        // relative to the theme folder
  std::u16string_view secondFile;  // tried when `file` cannot be loaded; empty for most rows
  int builtIn;                     // built-in replacement picture; 0 for none
  std::u16string_view jpegName;    // the compressed form of a map, in "\Map\"; empty otherwise
  ThemeAssetResult failure;        // kLoaded for rows that cannot fail
};

inline constexpr std::size_t kThemePictureCount = 38;

// The 38 pictures in loading order, which is the order of surfaces 4–41.
extern const std::array<ThemePictureRow, kThemePictureCount> kThemePictureRows;

// Where a surface's picture came from: a file (path relative to the theme folder, as in the
// loading table) or a built-in picture; neither when loading stopped before it.
struct PictureSource {
  std::u16string file;
  int builtIn = 0;
};

// Loads a theme's pictures into the sprite surfaces 4–41 of the main window, once at start-up.
// The three maps are held as map pictures (LayerSurface::map) rather than as surfaces.
class ThemeAssets final : public ThemeAssetService {
 public:
  // `themeFiles` gives the theme's files (the user's theme folder, then the shipped one) at the
  // time the pictures are loaded: start-up settles the theme name only after this object
  // exists.
  ThemeAssets(LayerSurfaces& surfaces, std::function<ThemeFiles()> themeFiles,
              PictureDecoder& decoder, TextRenderer& text);

  // Goes through the loading table in order: a row's bitmap file, then its second file, then
  // its built-in picture, then for a map its compressed form. Returns kLoaded when every row
  // has a picture, otherwise the failure of the first required picture that could not be
  // loaded; the rows after it are left empty.
  ThemeAssetResult LoadThemeAssets() override;
  std::vector<std::u16string> LoadProblems() const override { return problems_; }

  // Reads "\Map\" + `fileName` of the theme into the `map` slot. A file that is read but
  // does not decode also gives kLoaded and leaves the slot without a picture; a load problem
  // then says which file it was and why.
  JpegLoadResult LoadJpegPicture(std::u16string_view fileName, SurfaceIndex map);

  // What the last LoadThemeAssets gave a surface (4–41; others have no source).
  const PictureSource& SourceOf(SurfaceIndex surface) const;

  // Compressed maps are read whole into memory first; no map of ours comes near this.
  static constexpr std::size_t kMaxJpegFileBytes = std::size_t{256} << 20;

 private:
  bool LoadBitmap(std::u16string_view file, SurfaceIndex surface);
  bool LoadBitmapMap(std::u16string_view file, SurfaceIndex map);

  LayerSurfaces& surfaces_;
  std::function<ThemeFiles()> themeFiles_;
  PictureDecoder& decoder_;
  TextRenderer& text_;
  std::array<PictureSource, kSurfaceCount> sources_{};
  std::vector<std::u16string> problems_;
};

}  // namespace hw

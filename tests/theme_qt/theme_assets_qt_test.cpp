#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "display/intensity_style.h"
#include "display/theme_assets.h"
#include "fakes/bitmap_builder.h"
#include "fakes/temp_folder.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/qt/qt_picture_decoder.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/text_codec.h"
#include "rev_layout.h"
#include "settings/theme_layout.h"

namespace hw {
namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

std::string Bitmap(int width, int height) {
  return test::BuildBitmapFile({width, height, 24}, test::PatternColour);
}

std::string Jpeg(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG");
  return bytes.toStdString();
}

// A theme folder "Theme/T" under a temporary working folder, loaded with the real decoder.
struct Theme {
  explicit Theme(const Files& files) {
    for (const auto& [file, bytes] : files)
      folder.Write(fs::path("Theme/T") / file, bytes);
  }
  std::u16string Path() const { return folder.U16() + u"\\Theme\\T"; }
  ThemeAssetResult Load() { return assets.LoadThemeAssets(); }
  const Surface& SurfaceOf(SurfaceIndex index) const { return surfaces[index].surface; }
  bool HasPicture(SurfaceIndex index) const {
    return !surfaces[index].surface.empty() || surfaces[index].map != nullptr;
  }

  test::TempFolder folder;
  LayerSurfaces surfaces;
  QtPictureDecoder decoder;
  QtTextRenderer text;
  ThemeAssets assets{surfaces, [this] { return ThemeFiles{Path(), {}}; }, decoder, text};
};

Files Required() {
  return {{"Intensity/MaxIntensity.bmp", Bitmap(33, 4)},
          {"Map/jp_map1.jpg", Jpeg(64, 48)},
          {"Map/jp_map2.jpg", Jpeg(64, 48)},
          {"Map/world_map.jpg", Jpeg(96, 32)}};
}

Files With(Files files, std::string file, std::string bytes) {
  std::erase_if(files, [&](const auto& entry) { return entry.first == file; });
  files.emplace_back(std::move(file), std::move(bytes));
  return files;
}

// The built-in badges carry their labels in the colour the intensity asks for.
TEST(ThemeAssetsQt, SparseThemeDrawsLabelledBuiltInBadges) {
  Theme theme(Required());
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
  const Surface& badges = theme.SurfaceOf(MidIntensitySurface);
  ASSERT_EQ(badges.width(), 640);
  for (int cell = 1; cell < kIntensitySheetCells; ++cell) {
    SCOPED_TRACE(cell);
    const COLORREF label = DarkLabelOn(cell) ? 0x000000u : 0xFFFFFFu;
    int labelPixels = 0;
    for (int y = 16; y < 48; ++y) {
      for (int x = 16; x < 48; ++x)
        labelPixels += badges.GetPixel(cell * 64 + x, y) == label ? 1 : 0;
    }
    EXPECT_GT(labelPixels, 20);
  }
  ASSERT_NE(theme.surfaces[WorldMapSurface].map, nullptr);
  EXPECT_EQ(theme.surfaces[WorldMapSurface].map->width(), 96);
}

// Broken files never crash the loading: a required picture fails with its code, any other
// takes its replacement.
TEST(ThemeAssetsQt, BrokenFilesFailOrFallBack) {
  const std::string bitmap = Bitmap(33, 4);
  std::string hugeBitmap = bitmap;
  hugeBitmap.replace(18, 8, std::string("\x60\xEA\0\0\x60\xEA\0\0", 8));  // 60000 × 60000
  const std::string jpeg = Jpeg(64, 48);

  struct Case {
    const char* name;
    Files files;
    ThemeAssetResult code;
    SurfaceIndex surface;
    std::u16string_view file;  // where the surface's picture came from ...
    int builtIn;               // ... or which built-in picture it took
    bool hasPicture;
  };
  constexpr ThemeAssetResult kOk = ThemeAssetResult::kLoaded;
  const std::vector<Case> cases = {
      {"truncated MaxIntensity.bmp",
       With(Required(), "Intensity/MaxIntensity.bmp", bitmap.substr(0, bitmap.size() - 40)),
       ThemeAssetResult::kMaxIntensityMissing, MaxIntensitySurface, u"", 0, false},
      {"MaxIntensity.bmp claiming 60000 x 60000",
       With(Required(), "Intensity/MaxIntensity.bmp", hugeBitmap),
       ThemeAssetResult::kMaxIntensityMissing, MaxIntensitySurface, u"", 0, false},
      {"truncated Shingen.bmp", With(Required(), "Waku/Shingen.bmp", bitmap.substr(0, 60)), kOk,
       ShingenSurface, u"", 152, true},
      {"MidlIntensity.bmp claiming 60000 x 60000",
       With(Required(), "Intensity/MidlIntensity.bmp", hugeBitmap), kOk, MidIntensitySurface, u"",
       149, true},
      {"text named jp_map1.jpg", With(Required(), "Map/jp_map1.jpg", "not a picture\n"), kOk,
       JpMap1Surface, u"\\Map\\jp_map1.jpg", 0, false},
      {"zero-byte jp_map2.jpg", With(Required(), "Map/jp_map2.jpg", ""),
       ThemeAssetResult::kJpMap2Missing, JpMap2Surface, u"", 0, false},
      {"truncated jp_map1.bmp beside a good jp_map1.jpg",
       With(Required(), "Map/jp_map1.bmp", bitmap.substr(0, bitmap.size() / 2)), kOk, JpMap1Surface,
       u"\\Map\\jp_map1.jpg", 0, true},
      {"world_map.jpg cut short",
       With(Required(), "Map/world_map.jpg", jpeg.substr(0, jpeg.size() - 10)), kOk,
       WorldMapSurface, u"\\Map\\world_map.jpg", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theme theme(c.files);
    EXPECT_EQ(theme.Load(), c.code);
    EXPECT_EQ(theme.assets.SourceOf(c.surface).file, c.file);
    EXPECT_EQ(theme.assets.SourceOf(c.surface).builtIn, c.builtIn);
    EXPECT_EQ(theme.HasPicture(c.surface), c.hasPicture);
  }
}

// The size each sprite file of a theme must have for the layout it comes with.
struct ExpectedSize {
  SurfaceIndex surface;
  int width;
  int height;
};

std::vector<ExpectedSize> SpriteSizes(const ThemeLayout& layout) {
  const ThemeLayout::Intensity& i = layout.intensity;
  const ThemeLayout::Waku& w = layout.waku;
  const auto element = [](SurfaceIndex surface, const ThemeElement& e) {
    return ExpectedSize{surface, e.width, e.height};
  };
  return {
      {MaxIntensitySurface, 11 * i.MaxIntensity.width, i.MaxIntensity.height},
      {MidIntensitySurface, 10 * i.MidIntensity.width, i.MidIntensity.height},
      element(EventTimeWakuSurface, w.EventTimeWaku),
      element(EventTimeMojiSurface, w.EventTimeMoji),
      element(MagnitudeWakuSurface, w.MagnitudeWaku),
      element(MagnitudeMojiSurface, w.MagnitudeMoji),
      {ShingenSurface, w.ShingenWakuWidth, w.ShingenWakuHeight},
      element(Tsunami1WakuSurface, w.Tsunami1Waku),
      element(Tsunami2WakuSurface, w.Tsunami2Waku),
      element(Tsunami3WakuSurface, w.Tsunami3Waku),
      element(Tsunami4WakuSurface, w.Tsunami4Waku),
      element(Tsunami5WakuSurface, w.Tsunami5Waku),
      element(Tsunami1MojiSurface, w.Tsunami1Moji),
      element(Tsunami2MojiSurface, w.Tsunami2Moji),
      element(Tsunami3MojiSurface, w.Tsunami3Moji),
      element(Tsunami4MojiSurface, w.Tsunami4Moji),
      element(Tsunami5MojiSurface, w.Tsunami5Moji),
      {MinIntensitySurface, 10 * i.MinIntensity.width, i.MinIntensity.height},
      {BarIntensitySurface, i.BarIntensityWidth, 10 * i.BarIntensityHeight},
      {HistIntensitySurface, i.HistIntensity.width, 12 * i.HistIntensity.height},
      {CityTableSurface, 351, 78},
      element(InfoShingenWakuSurface, w.InfoShingenWaku),
      element(InfoShingenMojiSurface, w.InfoShingenMoji),
      element(InfoDepthWakuSurface, w.InfoDepthWaku),
      element(InfoDepthMojiSurface, w.InfoDepthMoji),
      element(InfoCommentWakuSurface, w.InfoCommentWaku),
      element(InfoCommentMojiSurface, w.InfoCommentMoji),
      element(User1WakuSurface, w.User1Waku),
      element(User1MojiSurface, w.User1Moji),
      element(User2WakuSurface, w.User2Waku),
      element(User2MojiSurface, w.User2Moji),
      element(User3WakuSurface, w.User3Waku),
      element(User3MojiSurface, w.User3Moji),
      element(User4WakuSurface, w.User4Waku),
      element(User4MojiSurface, w.User4Moji),
  };
}

const fs::path kDefaultTheme = fs::path(HW_SOURCE_DIR) / "runtime" / "Theme" / "Theme_REV";

// The default theme's layout file spells out every key, so that it serves theme authors as
// the reference, and it holds the layout the theme's generator drew the sprites for.
TEST(DefaultTheme, LayoutFileListsEveryKeyOfTheGeneratorsLayout) {
  ASSERT_TRUE(fs::is_regular_file(kDefaultTheme / "Setting.ini"));
  const ProfileFile file = ProfileFile::Load(Utf8ToUtf16((kDefaultTheme / "Setting.ini").string()));
  for (const ThemeLayoutEntry& entry : ListThemeLayout(ThemeLayout{})) {
    EXPECT_NE(file.GetPrivateProfileString(entry.section, entry.key, u"(missing)"), u"(missing)")
        << Utf16ToUtf8(entry.section) << " " << Utf16ToUtf8(entry.key);
  }
  ThemeLayout layout;
  LoadThemeLayout(file, layout);
  EXPECT_EQ(layout, themegen::RevLayout());
}

// Every sprite of the default theme comes from its own file, at the size its layout expects.
// The maps are stood in for by small pictures.
TEST(DefaultTheme, LoadsEverySpriteFromItsFile) {
  Theme theme({{"Map/jp_map1.jpg", Jpeg(64, 48)},
               {"Map/jp_map2.jpg", Jpeg(64, 48)},
               {"Map/world_map.jpg", Jpeg(96, 32)}});
  const fs::path target = theme.folder.path() / "Theme" / "T";
  fs::copy_file(kDefaultTheme / "Setting.ini", target / "Setting.ini");
  for (const char* folder : {"Intensity", "Waku", "User", "Table"})
    fs::copy(kDefaultTheme / folder, target / folder, fs::copy_options::recursive);

  ThemeLayout layout;
  LoadThemeLayout(theme.Path() + u"\\Setting.ini", layout);
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
  for (const ExpectedSize& expected : SpriteSizes(layout)) {
    const ThemePictureRow& row = kThemePictureRows[expected.surface - MaxIntensitySurface];
    SCOPED_TRACE(Utf16ToUtf8(row.surfaceName));
    EXPECT_EQ(theme.assets.SourceOf(expected.surface).file, row.file);
    const LayerSurface& slot = theme.surfaces[expected.surface];
    EXPECT_EQ(slot.map ? slot.map->width() : slot.surface.width(), expected.width);
    EXPECT_EQ(slot.map ? slot.map->height() : slot.surface.height(), expected.height);
  }
}

}  // namespace
}  // namespace hw

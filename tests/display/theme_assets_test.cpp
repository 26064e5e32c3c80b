#include "display/theme_assets.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_picture_decoder.h"
#include "fakes/fake_text_renderer.h"
#include "fakes/temp_folder.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "platform/work_folder_layout.h"

namespace hw {
namespace {

using test::FakePictureDecoder;
using Files = std::vector<std::pair<std::u16string_view, std::string>>;

// A theme folder "Theme\T" below a temporary working folder with stand-in picture files,
// named as in the loading table ("\Map\jp_map1.jpg").
struct Theme {
  Theme() = default;
  explicit Theme(const Files& files) {
    for (const auto& [file, bytes] : files)
      Put(file, bytes);
  }
  void Put(std::u16string_view file, std::string_view bytes) const {
    folder.Write(NativePath(u"Theme\\T" + std::u16string(file)), bytes);
  }
  ThemeAssetResult Load() { return assets.LoadThemeAssets(); }
  const Surface& SurfaceOf(SurfaceIndex index) const { return surfaces[index].surface; }
  bool HasPicture(SurfaceIndex index) const {
    return !surfaces[index].surface.empty() || surfaces[index].map != nullptr;
  }
  int WidthOf(SurfaceIndex index) const {
    return surfaces[index].map ? surfaces[index].map->width() : surfaces[index].surface.width();
  }
  const std::u16string& FileOf(SurfaceIndex index) const { return assets.SourceOf(index).file; }

  test::TempFolder folder;
  LayerSurfaces surfaces;
  FakePictureDecoder decoder;
  test::FakeTextRenderer text;
  ThemeAssets assets{surfaces,
                     [this] {
                       return ThemeFiles{folder.U16() + u"\\Theme\\T", {}};
                     },
                     decoder, text};
};

const Files kRequired = {
    {u"\\Intensity\\MaxIntensity.bmp", FakePictureDecoder::Bitmap(3487, 142)},
    {u"\\Map\\jp_map1.jpg", FakePictureDecoder::Jpeg(40, 30)},
    {u"\\Map\\jp_map2.jpg", FakePictureDecoder::Jpeg(41, 30)},
    {u"\\Map\\world_map.jpg", FakePictureDecoder::Jpeg(70, 20)},
};

Files With(Files files, const Files& more) {
  files.insert(files.end(), more.begin(), more.end());
  return files;
}

Files Without(Files files, std::u16string_view file) {
  std::erase_if(files, [&](const auto& entry) { return entry.first == file; });
  return files;
}

TEST(ThemeAssets, TableHoldsTheThirtyEightSurfacesInOrder) {
  for (std::size_t i = 0; i < kThemePictureRows.size(); ++i) {
    EXPECT_EQ(kThemePictureRows[i].surface,
              static_cast<SurfaceIndex>(MaxIntensitySurface + static_cast<int>(i)));
  }
}

TEST(ThemeAssets, SparseThemeStartsWithBuiltInPictures) {
  Theme theme(kRequired);
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);

  EXPECT_EQ(theme.FileOf(MaxIntensitySurface), u"\\Intensity\\MaxIntensity.bmp");
  EXPECT_EQ(theme.SurfaceOf(MaxIntensitySurface).width(), 3487);
  EXPECT_EQ(theme.FileOf(JpMap1Surface), u"\\Map\\jp_map1.jpg");
  EXPECT_EQ(theme.WidthOf(JpMap2Surface), 41);
  EXPECT_EQ(theme.WidthOf(WorldMapSurface), 70);

  const std::vector<std::pair<SurfaceIndex, int>> builtIns = {
      {MidIntensitySurface, 149},  {EventTimeWakuSurface, 151}, {ShingenSurface, 152},
      {Tsunami5MojiSurface, 151},  {MinIntensitySurface, 150},  {BarIntensitySurface, 154},
      {HistIntensitySurface, 151}, {CityTableSurface, 153},     {InfoCommentMojiSurface, 151},
      {User1WakuSurface, 148},     {User4MojiSurface, 148}};
  for (const auto& [surface, picture] : builtIns) {
    SCOPED_TRACE(surface);
    EXPECT_EQ(theme.assets.SourceOf(surface).builtIn, picture);
    EXPECT_TRUE(theme.FileOf(surface).empty());
    EXPECT_TRUE(theme.HasPicture(surface));
  }
  EXPECT_EQ(theme.SurfaceOf(MidIntensitySurface).width(), 640);
  EXPECT_EQ(theme.SurfaceOf(BarIntensitySurface).height(), 400);
}

// Which file a surface takes when several could serve it.
TEST(ThemeAssets, FirstLoadableFileWins) {
  struct Case {
    const char* name;
    Files extra;
    SurfaceIndex surface;
    std::u16string_view expected;
    int memoryDecodes;  // compressed map files read and decoded
  };
  const std::vector<Case> cases = {
      {"MidlIntensity before MidIntensity",
       {{u"\\Intensity\\MidlIntensity.bmp", FakePictureDecoder::Bitmap(640, 64)},
        {u"\\Intensity\\MidIntensity.bmp", FakePictureDecoder::Bitmap(320, 32)}},
       MidIntensitySurface,
       u"\\Intensity\\MidlIntensity.bmp",
       3},
      {"MidIntensity when MidlIntensity is no bitmap",
       {{u"\\Intensity\\MidlIntensity.bmp", "not a picture"},
        {u"\\Intensity\\MidIntensity.bmp", FakePictureDecoder::Bitmap(320, 32)}},
       MidIntensitySurface,
       u"\\Intensity\\MidIntensity.bmp",
       3},
      {"world_map.bmp before world_map.jpg",
       {{u"\\Map\\world_map.bmp", FakePictureDecoder::Bitmap(70, 20)}},
       WorldMapSurface,
       u"\\Map\\world_map.bmp",
       2},
      {"a compressed picture named .bmp is no bitmap",
       {{u"\\Map\\jp_map1.bmp", FakePictureDecoder::Jpeg(40, 30)}},
       JpMap1Surface,
       u"\\Map\\jp_map1.jpg",
       3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theme theme(With(kRequired, c.extra));
    ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
    EXPECT_EQ(theme.FileOf(c.surface), c.expected);
    EXPECT_EQ(theme.decoder.memoryDecodes, c.memoryDecodes);
  }
}

// A required picture that cannot be had ends the loading with its code; nothing after it is
// looked at.
TEST(ThemeAssets, MissingRequiredPictureStopsTheLoading) {
  struct Case {
    const char* name;
    Files files;
    ThemeAssetResult code;
    SurfaceIndex lastLoaded;  // 0 (CanvasSurface) when nothing was loaded
  };
  const std::vector<Case> cases = {
      {"no MaxIntensity", Without(kRequired, u"\\Intensity\\MaxIntensity.bmp"),
       ThemeAssetResult::kMaxIntensityMissing, CanvasSurface},
      {"MaxIntensity in another format",
       With(Without(kRequired, u"\\Intensity\\MaxIntensity.bmp"),
            {{u"\\Intensity\\MaxIntensity.bmp", FakePictureDecoder::Jpeg(3487, 142)}}),
       ThemeAssetResult::kMaxIntensityMissing, CanvasSurface},
      {"no jp_map1", Without(kRequired, u"\\Map\\jp_map1.jpg"), ThemeAssetResult::kJpMap1Missing,
       User4MojiSurface},
      {"empty jp_map1.jpg",
       With(Without(kRequired, u"\\Map\\jp_map1.jpg"), {{u"\\Map\\jp_map1.jpg", ""}}),
       ThemeAssetResult::kJpMap1Missing, User4MojiSurface},
      {"no jp_map2 in either form", Without(kRequired, u"\\Map\\jp_map2.jpg"),
       ThemeAssetResult::kJpMap2Missing, JpMap1Surface},
      {"no world_map", Without(kRequired, u"\\Map\\world_map.jpg"),
       ThemeAssetResult::kWorldMapMissing, JpMap2Surface},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theme theme(c.files);
    EXPECT_EQ(theme.Load(), c.code);
    for (const ThemePictureRow& row : kThemePictureRows) {
      SCOPED_TRACE(row.surface);
      const PictureSource& source = theme.assets.SourceOf(row.surface);
      const bool loaded = !source.file.empty() || source.builtIn != 0;
      EXPECT_EQ(loaded, row.surface <= c.lastLoaded);
      EXPECT_EQ(!theme.HasPicture(row.surface), row.surface > c.lastLoaded);
    }
  }
}

TEST(ThemeAssets, MissingJpMap2NeverLooksAtTheWorldMap) {
  Theme theme(With(Without(kRequired, u"\\Map\\jp_map2.jpg"),
                   {{u"\\Map\\world_map.bmp", FakePictureDecoder::Bitmap(70, 20)}}));
  EXPECT_EQ(theme.Load(), ThemeAssetResult::kJpMap2Missing);
  for (const std::u16string& opened : theme.decoder.openedFiles)
    EXPECT_EQ(opened.find(u"world_map"), std::u16string::npos);
}

// A compressed map that is read but does not decode lets start-up go on without a picture.
TEST(ThemeAssets, UndecodableMapLeavesItsSurfaceEmpty) {
  Theme theme(With(Without(kRequired, u"\\Map\\jp_map2.jpg"),
                   {{u"\\Map\\jp_map2.jpg", "this is text, not a picture"}}));
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
  EXPECT_EQ(theme.FileOf(JpMap2Surface), u"\\Map\\jp_map2.jpg");
  EXPECT_FALSE(theme.HasPicture(JpMap2Surface));
  EXPECT_TRUE(theme.HasPicture(WorldMapSurface));
  // It is said which file and why, once per load.
  const std::vector<std::u16string> problems = theme.assets.LoadProblems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find(
                Utf8ToUtf16(NativePath(theme.folder.U16() + u"\\Theme\\T\\Map\\jp_map2.jpg"))),
            std::u16string::npos);
  EXPECT_NE(problems[0].find(u"not a picture"), std::u16string::npos);
  theme.Put(u"\\Map\\jp_map2.jpg", FakePictureDecoder::Jpeg(41, 30));
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
  EXPECT_TRUE(theme.assets.LoadProblems().empty());
}

// A theme made where names ignore letter case loads whatever the case of its folders and
// files; a name that matches exactly is preferred.
TEST(ThemeAssets, NamesAreFoundWhateverTheirLetterCase) {
  Theme theme({{u"\\intensity\\maxintensity.BMP", FakePictureDecoder::Bitmap(3487, 142)},
               {u"\\MAP\\JP_MAP1.jpg", FakePictureDecoder::Jpeg(40, 30)},
               {u"\\MAP\\jp_map2.JPG", FakePictureDecoder::Jpeg(41, 30)},
               {u"\\MAP\\World_Map.jpg", FakePictureDecoder::Jpeg(70, 20)},
               {u"\\MAP\\world_map.jpg", FakePictureDecoder::Jpeg(71, 20)},
               {u"\\waku\\SHINGEN.bmp", FakePictureDecoder::Bitmap(9, 9)},
               {u"\\setting.INI", "[Main]\n"}});
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
  EXPECT_EQ(theme.SurfaceOf(MaxIntensitySurface).width(), 3487);
  EXPECT_EQ(theme.WidthOf(JpMap1Surface), 40);
  EXPECT_EQ(theme.WidthOf(JpMap2Surface), 41);
  EXPECT_EQ(theme.WidthOf(WorldMapSurface), 71);
  EXPECT_EQ(theme.SurfaceOf(ShingenSurface).width(), 9);
  EXPECT_TRUE(CanOpenForReading(WorkFolderLayout(theme.folder.U16()).ThemeLayoutFile(u"T")));
}

// A shipped theme the user changed in part: the user's pictures win, every other one comes
// from the installed theme.
TEST(ThemeAssets, TheUsersPicturesWinOverTheShippedTheme) {
  const Theme shipped(
      With(kRequired, {{u"\\Waku\\Shingen.bmp", FakePictureDecoder::Bitmap(9, 9)}}));
  Theme user({{u"\\intensity\\MaxIntensity.bmp", FakePictureDecoder::Bitmap(100, 10)}});
  ThemeAssets assets{
      user.surfaces,
      [&] {
        return ThemeFiles{user.folder.U16() + u"\\Theme\\T", shipped.folder.U16() + u"\\Theme\\T"};
      },
      user.decoder, user.text};
  ASSERT_EQ(assets.LoadThemeAssets(), ThemeAssetResult::kLoaded);
  EXPECT_EQ(user.SurfaceOf(MaxIntensitySurface).width(), 100);
  EXPECT_EQ(user.WidthOf(JpMap1Surface), 40);
  EXPECT_EQ(user.SurfaceOf(ShingenSurface).width(), 9);
}

TEST(ThemeAssets, LoadJpegPictureCodes) {
  Theme theme({{u"\\Map\\empty.jpg", ""},
               {u"\\Map\\text.jpg", "text"},
               {u"\\Map\\good.jpg", FakePictureDecoder::Jpeg(5, 4)},
               {u"\\Map\\folder.jpg\\inside", "x"}});
  EXPECT_EQ(theme.assets.LoadJpegPicture(u"missing.jpg", JpMap1Surface),
            JpegLoadResult::kCannotOpen);
  EXPECT_EQ(theme.assets.LoadJpegPicture(u"folder.jpg", JpMap1Surface),
            JpegLoadResult::kCannotOpen);
  EXPECT_EQ(theme.assets.LoadJpegPicture(u"empty.jpg", JpMap1Surface), JpegLoadResult::kEmpty);
  EXPECT_EQ(theme.assets.LoadJpegPicture(u"text.jpg", JpMap1Surface), JpegLoadResult::kLoaded);
  EXPECT_FALSE(theme.HasPicture(JpMap1Surface));
  EXPECT_EQ(theme.assets.LoadJpegPicture(u"good.jpg", JpMap1Surface), JpegLoadResult::kLoaded);
  EXPECT_EQ(theme.WidthOf(JpMap1Surface), 5);
}

// Loading again starts from nothing: pictures of the previous load do not linger.
TEST(ThemeAssets, ReloadClearsEarlierPictures) {
  Theme theme(kRequired);
  ASSERT_EQ(theme.Load(), ThemeAssetResult::kLoaded);
  theme.Put(u"\\Intensity\\MaxIntensity.bmp", "gone");
  EXPECT_EQ(theme.Load(), ThemeAssetResult::kMaxIntensityMissing);
  EXPECT_FALSE(theme.HasPicture(JpMap1Surface));
  EXPECT_EQ(theme.assets.SourceOf(MidIntensitySurface).builtIn, 0);
}

}  // namespace
}  // namespace hw

#include "display/theme_assets.h"

#include <optional>
#include <utility>

#include "display/builtin_pictures.h"
#include "platform/file_system.h"
#include "platform/map_picture.h"
#include "platform/text_codec.h"

namespace hw {

namespace {

constexpr ThemeAssetResult kCannotFail = ThemeAssetResult::kLoaded;

std::u16string_view WhyNotDecoded(PictureError error) {
  switch (error) {
    case PictureError::kCannotOpen:
      return u"cannot be read";
    case PictureError::kNotAPicture:
      return u"is not a picture of a known kind, or its headers are broken";
    case PictureError::kTooLarge:
      return u"claims a picture too large to decode";
    case PictureError::kBroken:
      return u"has picture data that cannot be decoded";
    case PictureError::kOutOfMemory:
      return u"needs more memory than there is";
    case PictureError::kNone:
      break;
  }
  return u"cannot be decoded";
}

}  // namespace

// clang-format off
const std::array<ThemePictureRow, kThemePictureCount> kThemePictureRows = {{
    {MaxIntensitySurface, u"MaxIntensitySurface", u"\\Intensity\\MaxIntensity.bmp", u"", 0, u"", ThemeAssetResult::kMaxIntensityMissing},
    {MidIntensitySurface, u"MidIntensitySurface", u"\\Intensity\\MidlIntensity.bmp", u"\\Intensity\\MidIntensity.bmp", kMidIntensityPicture, u"", kCannotFail},
    {EventTimeWakuSurface, u"EventTimeWakuSurface", u"\\Waku\\EventTime_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {EventTimeMojiSurface, u"EventTimeMojiSurface", u"\\Waku\\EventTime_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {MagnitudeWakuSurface, u"MagnitudeWakuSurface", u"\\Waku\\Magnitude_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {MagnitudeMojiSurface, u"MagnitudeMojiSurface", u"\\Waku\\Magnitude_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {ShingenSurface, u"ShingenSurface", u"\\Waku\\Shingen.bmp", u"", kEpicentrePicture, u"", kCannotFail},
    {Tsunami1WakuSurface, u"Tsunami1WakuSurface", u"\\Waku\\Tsunami_01_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami2WakuSurface, u"Tsunami2WakuSurface", u"\\Waku\\Tsunami_02_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami3WakuSurface, u"Tsunami3WakuSurface", u"\\Waku\\Tsunami_03_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami4WakuSurface, u"Tsunami4WakuSurface", u"\\Waku\\Tsunami_04_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami5WakuSurface, u"Tsunami5WakuSurface", u"\\Waku\\Tsunami_05_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami1MojiSurface, u"Tsunami1MojiSurface", u"\\Waku\\Tsunami_01_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami2MojiSurface, u"Tsunami2MojiSurface", u"\\Waku\\Tsunami_02_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami3MojiSurface, u"Tsunami3MojiSurface", u"\\Waku\\Tsunami_03_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami4MojiSurface, u"Tsunami4MojiSurface", u"\\Waku\\Tsunami_04_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {Tsunami5MojiSurface, u"Tsunami5MojiSurface", u"\\Waku\\Tsunami_05_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {MinIntensitySurface, u"MinIntensitySurface", u"\\Intensity\\MinIntensity.bmp", u"", kMinIntensityPicture, u"", kCannotFail},
    {BarIntensitySurface, u"BarIntensitySurface", u"\\Intensity\\BarIntensity.bmp", u"", kBarIntensityPicture, u"", kCannotFail},
    {HistIntensitySurface, u"HistIntensitySurface", u"\\Intensity\\HistoryIntensity.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {CityTableSurface, u"CityTableSurface", u"\\Table\\City.bmp", u"", kCityTablePicture, u"", kCannotFail},
    {InfoShingenWakuSurface, u"InfoShingenWakuSurface", u"\\Waku\\InfoShingen_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {InfoShingenMojiSurface, u"InfoShingenMojiSurface", u"\\Waku\\InfoShingen_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {InfoDepthWakuSurface, u"InfoDepthWakuSurface", u"\\Waku\\InfoDepth_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {InfoDepthMojiSurface, u"InfoDepthMojiSurface", u"\\Waku\\InfoDepth_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {InfoCommentWakuSurface, u"InfoCommentWakuSurface", u"\\Waku\\InfoComment_waku.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {InfoCommentMojiSurface, u"InfoCommentMojiSurface", u"\\Waku\\InfoComment_moji.bmp", u"", kBlankBoxPicture, u"", kCannotFail},
    {User1WakuSurface, u"User1WakuSurface", u"\\User\\User_01_waku.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User1MojiSurface, u"User1MojiSurface", u"\\User\\User_01_moji.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User2WakuSurface, u"User2WakuSurface", u"\\User\\User_02_waku.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User2MojiSurface, u"User2MojiSurface", u"\\User\\User_02_moji.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User3WakuSurface, u"User3WakuSurface", u"\\User\\User_03_waku.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User3MojiSurface, u"User3MojiSurface", u"\\User\\User_03_moji.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User4WakuSurface, u"User4WakuSurface", u"\\User\\User_04_waku.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {User4MojiSurface, u"User4MojiSurface", u"\\User\\User_04_moji.bmp", u"", kBlankUserPicture, u"", kCannotFail},
    {JpMap1Surface, u"JpMap1Surface", u"\\Map\\jp_map1.bmp", u"", 0, u"jp_map1.jpg", ThemeAssetResult::kJpMap1Missing},
    {JpMap2Surface, u"JpMap2Surface", u"\\Map\\jp_map2.bmp", u"", 0, u"jp_map2.jpg", ThemeAssetResult::kJpMap2Missing},
    {WorldMapSurface, u"WorldMapSurface", u"\\Map\\world_map.bmp", u"", 0, u"world_map.jpg", ThemeAssetResult::kWorldMapMissing},
}};
// clang-format on

ThemeAssets::ThemeAssets(LayerSurfaces& surfaces, std::function<ThemeFiles()> themeFiles,
                         PictureDecoder& decoder, TextRenderer& text)
    : surfaces_(surfaces), themeFiles_(std::move(themeFiles)), decoder_(decoder), text_(text) {}

ThemeAssetResult ThemeAssets::LoadThemeAssets() {
  for (const ThemePictureRow& row : kThemePictureRows) {
    surfaces_[row.surface].surface = Surface();
    surfaces_[row.surface].map.reset();
    sources_[row.surface] = PictureSource{};
  }
  problems_.clear();
  for (const ThemePictureRow& row : kThemePictureRows) {
    const bool isMap = !row.jpegName.empty();
    if (isMap ? LoadBitmapMap(row.file, row.surface) : LoadBitmap(row.file, row.surface)) continue;
    if (!row.secondFile.empty() && LoadBitmap(row.secondFile, row.surface)) continue;
    if (row.builtIn != 0) {
      surfaces_[row.surface].surface = DrawBuiltinPicture(row.builtIn, text_);
      sources_[row.surface].builtIn = row.builtIn;
      continue;
    }
    if (!isMap || LoadJpegPicture(row.jpegName, row.surface) != JpegLoadResult::kLoaded) {
      return row.failure;
    }
  }
  return ThemeAssetResult::kLoaded;
}

bool ThemeAssets::LoadBitmap(std::u16string_view file, SurfaceIndex surface) {
  DecodedPicture decoded = decoder_.DecodeFile(themeFiles_().Find(file), PictureFormat::kBitmap);
  if (!decoded.ok()) return false;
  surfaces_[surface].surface = std::move(decoded.picture);
  sources_[surface].file = file;
  return true;
}

bool ThemeAssets::LoadBitmapMap(std::u16string_view file, SurfaceIndex map) {
  // A big bitmap stays in its file and is read by rows when a composition draws from it.
  OpenedMapPicture opened = decoder_.OpenMapFile(themeFiles_().Find(file), PictureFormat::kBitmap);
  if (!opened.ok()) return false;
  surfaces_[map].map = std::move(opened.picture);
  sources_[map].file = file;
  return true;
}

JpegLoadResult ThemeAssets::LoadJpegPicture(std::u16string_view fileName, SurfaceIndex map) {
  const std::u16string file = u"\\Map\\" + std::u16string(fileName);
  // One byte past the limit tells a file at the limit from a larger one.
  std::optional<std::string> bytes = ReadFileBytes(themeFiles_().Find(file), kMaxJpegFileBytes + 1);
  if (!bytes) return JpegLoadResult::kCannotOpen;
  if (bytes->empty()) return JpegLoadResult::kEmpty;
  if (bytes->size() > kMaxJpegFileBytes) return JpegLoadResult::kNoMemory;
  sources_[map].file = file;
  // The compressed bytes are kept; a composition decodes only the part it shows.
  OpenedMapPicture opened = decoder_.OpenMap(std::move(*bytes), PictureFormat::kCompressed);
  if (opened.ok()) {
    surfaces_[map].map = std::move(opened.picture);
  } else {
    // The program goes on without this map, but the user must learn which file to replace.
    problems_.push_back(u"map picture " + Utf8ToUtf16(NativePath(themeFiles_().Find(file))) + u" " +
                        std::u16string(WhyNotDecoded(opened.error)) + u"; the map is not shown");
  }
  return JpegLoadResult::kLoaded;
}

const PictureSource& ThemeAssets::SourceOf(SurfaceIndex surface) const {
  return sources_[static_cast<std::size_t>(surface)];
}

}  // namespace hw

#include "settings/theme_assets.h"

#include <optional>
#include <utility>

#include "display/builtin_pictures.h"
#include "platform/file_system.h"

namespace hw {

// clang-format off
const std::array<ThemePictureRow, kThemePictureCount> kThemePictureRows = {{
    {MaxIntensitySurface, u"MaxIntensitySurface", u"\\Intensity\\MaxIntensity.bmp", u"", 0, u"", kMaxIntensityMissing},
    {MidIntensitySurface, u"MidIntensitySurface", u"\\Intensity\\MidlIntensity.bmp", u"\\Intensity\\MidIntensity.bmp", kMidIntensityPicture, u"", 0},
    {EventTimeWakuSurface, u"EventTimeWakuSurface", u"\\Waku\\EventTime_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {EventTimeMojiSurface, u"EventTimeMojiSurface", u"\\Waku\\EventTime_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {MagnitudeWakuSurface, u"MagnitudeWakuSurface", u"\\Waku\\Magnitude_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {MagnitudeMojiSurface, u"MagnitudeMojiSurface", u"\\Waku\\Magnitude_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {ShingenSurface, u"ShingenSurface", u"\\Waku\\Shingen.bmp", u"", kEpicentrePicture, u"", 0},
    {Tsunami1WakuSurface, u"Tsunami1WakuSurface", u"\\Waku\\Tsunami_01_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami2WakuSurface, u"Tsunami2WakuSurface", u"\\Waku\\Tsunami_02_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami3WakuSurface, u"Tsunami3WakuSurface", u"\\Waku\\Tsunami_03_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami4WakuSurface, u"Tsunami4WakuSurface", u"\\Waku\\Tsunami_04_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami5WakuSurface, u"Tsunami5WakuSurface", u"\\Waku\\Tsunami_05_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami1MojiSurface, u"Tsunami1MojiSurface", u"\\Waku\\Tsunami_01_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami2MojiSurface, u"Tsunami2MojiSurface", u"\\Waku\\Tsunami_02_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami3MojiSurface, u"Tsunami3MojiSurface", u"\\Waku\\Tsunami_03_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami4MojiSurface, u"Tsunami4MojiSurface", u"\\Waku\\Tsunami_04_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {Tsunami5MojiSurface, u"Tsunami5MojiSurface", u"\\Waku\\Tsunami_05_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {MinIntensitySurface, u"MinIntensitySurface", u"\\Intensity\\MinIntensity.bmp", u"", kMinIntensityPicture, u"", 0},
    {BarIntensitySurface, u"BarIntensitySurface", u"\\Intensity\\BarIntensity.bmp", u"", kBarIntensityPicture, u"", 0},
    {HistIntensitySurface, u"HistIntensitySurface", u"\\Intensity\\HistoryIntensity.bmp", u"", kBlankBoxPicture, u"", 0},
    {CityTableSurface, u"CityTableSurface", u"\\Table\\City.bmp", u"", kCityTablePicture, u"", 0},
    {InfoShingenWakuSurface, u"InfoShingenWakuSurface", u"\\Waku\\InfoShingen_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {InfoShingenMojiSurface, u"InfoShingenMojiSurface", u"\\Waku\\InfoShingen_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {InfoDepthWakuSurface, u"InfoDepthWakuSurface", u"\\Waku\\InfoDepth_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {InfoDepthMojiSurface, u"InfoDepthMojiSurface", u"\\Waku\\InfoDepth_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {InfoCommentWakuSurface, u"InfoCommentWakuSurface", u"\\Waku\\InfoComment_waku.bmp", u"", kBlankBoxPicture, u"", 0},
    {InfoCommentMojiSurface, u"InfoCommentMojiSurface", u"\\Waku\\InfoComment_moji.bmp", u"", kBlankBoxPicture, u"", 0},
    {User1WakuSurface, u"User1WakuSurface", u"\\User\\User_01_waku.bmp", u"", kBlankUserPicture, u"", 0},
    {User1MojiSurface, u"User1MojiSurface", u"\\User\\User_01_moji.bmp", u"", kBlankUserPicture, u"", 0},
    {User2WakuSurface, u"User2WakuSurface", u"\\User\\User_02_waku.bmp", u"", kBlankUserPicture, u"", 0},
    {User2MojiSurface, u"User2MojiSurface", u"\\User\\User_02_moji.bmp", u"", kBlankUserPicture, u"", 0},
    {User3WakuSurface, u"User3WakuSurface", u"\\User\\User_03_waku.bmp", u"", kBlankUserPicture, u"", 0},
    {User3MojiSurface, u"User3MojiSurface", u"\\User\\User_03_moji.bmp", u"", kBlankUserPicture, u"", 0},
    {User4WakuSurface, u"User4WakuSurface", u"\\User\\User_04_waku.bmp", u"", kBlankUserPicture, u"", 0},
    {User4MojiSurface, u"User4MojiSurface", u"\\User\\User_04_moji.bmp", u"", kBlankUserPicture, u"", 0},
    {JpMap1Surface, u"JpMap1Surface", u"\\Map\\jp_map1.bmp", u"", 0, u"jp_map1.jpg", kJpMap1Missing},
    {JpMap2Surface, u"JpMap2Surface", u"\\Map\\jp_map2.bmp", u"", 0, u"jp_map2.jpg", kJpMap2Missing},
    {WorldMapSurface, u"WorldMapSurface", u"\\Map\\world_map.bmp", u"", 0, u"world_map.jpg", kWorldMapMissing},
}};
// clang-format on

ThemeAssets::ThemeAssets(LayerSurfaces& surfaces, std::function<std::u16string()> themeFolder,
                         PictureDecoder& decoder, TextRenderer& text)
    : surfaces_(surfaces), themeFolder_(std::move(themeFolder)), decoder_(decoder), text_(text) {}

int ThemeAssets::LoadThemeAssets() {
  for (const ThemePictureRow& row : kThemePictureRows) {
    surfaces_[row.surface].surface = Surface();
    sources_[row.surface] = PictureSource{};
  }
  for (const ThemePictureRow& row : kThemePictureRows) {
    if (LoadBitmap(row.file, row.surface)) continue;
    if (!row.secondFile.empty() && LoadBitmap(row.secondFile, row.surface)) continue;
    if (row.builtIn != 0) {
      surfaces_[row.surface].surface = DrawBuiltinPicture(row.builtIn, text_);
      sources_[row.surface].builtIn = row.builtIn;
      continue;
    }
    if (row.jpegName.empty() || LoadJpegPicture(row.jpegName, row.surface) != 0) {
      return row.failureCode;
    }
  }
  return 0;
}

bool ThemeAssets::LoadBitmap(std::u16string_view file, SurfaceIndex surface) {
  DecodedPicture decoded =
      decoder_.DecodeFile(themeFolder_() + std::u16string(file), PictureFormat::kBitmap);
  if (!decoded.ok()) return false;
  surfaces_[surface].surface = std::move(decoded.picture);
  sources_[surface].file = file;
  return true;
}

int ThemeAssets::LoadJpegPicture(std::u16string_view fileName, SurfaceIndex map) {
  const std::u16string file = u"\\Map\\" + std::u16string(fileName);
  // One byte past the limit tells a file at the limit from a larger one.
  const std::optional<std::string> bytes =
      ReadFileBytes(themeFolder_() + file, kMaxJpegFileBytes + 1);
  if (!bytes) return kJpegCannotOpen;
  if (bytes->empty()) return kJpegEmpty;
  if (bytes->size() > kMaxJpegFileBytes) return kJpegNoMemory;
  sources_[map].file = file;
  DecodedPicture decoded = decoder_.Decode(*bytes, PictureFormat::kCompressed);
  if (decoded.ok()) surfaces_[map].surface = std::move(decoded.picture);
  return 0;
}

const PictureSource& ThemeAssets::SourceOf(SurfaceIndex surface) const {
  return sources_[static_cast<std::size_t>(surface)];
}

}  // namespace hw

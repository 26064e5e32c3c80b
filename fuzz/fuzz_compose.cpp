#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "acquisition/report_body.h"
#include "display/display.h"
#include "platform/clock.h"
#include "platform/map_picture.h"
#include "refdata/reference_data_service.h"
#include "shell/display_startup.h"

// Any bytes are a fetched body: read as a fetch reads it and, when it holds a new report,
// taken over, composed and painted as the main loop does. The display's state lives on from
// one input to the next, so sequences of reports are composed as the program meets them. The
// maps are small pictures and text is not rasterised, so that the layers' logic is what runs.
namespace {

class Quiet final : public hw::EventLogWriter, public hw::RepaintTarget {
 public:
  void WriteEventLog(std::u16string_view) override {}
  void InvalidateRect() override {}
};

class NoText final : public hw::TextRenderer {
 public:
  hw::FontId CreateFont(const hw::FontSpec&) override { return 0; }
  int DrawText(hw::Surface&, hw::FontId, hw::COLORREF, std::u16string_view, hw::Rect& rect,
               unsigned format) override {
    if (format & hw::DT_CALCRECT) rect.bottom = rect.top + 10;
    return 10;
  }
};

hw::Surface Picture(int width, int height) {
  hw::Surface picture(width, height);
  picture.Fill(0x404040);
  return picture;
}

// The theme's pictures as small grey stand-ins.
class SmallPictures final : public hw::ThemeAssetService {
 public:
  explicit SmallPictures(hw::LayerSurfaces& surfaces) : surfaces_(surfaces) {}
  hw::ThemeAssetResult LoadThemeAssets() override {
    surfaces_[hw::MidIntensitySurface].surface = Picture(640, 64);
    surfaces_[hw::MinIntensitySurface].surface = Picture(640, 64);
    surfaces_[hw::ShingenSurface].surface = Picture(74, 74);
    for (const hw::SurfaceIndex map : {hw::JpMap1Surface, hw::JpMap2Surface, hw::WorldMapSurface})
      surfaces_[map].map = std::make_unique<hw::DecodedMapPicture>(Picture(96, 64));
    return hw::ThemeAssetResult::kLoaded;
  }

 private:
  hw::LayerSurfaces& surfaces_;
};

struct Owner {
  Owner() {
    hw::FolderReferenceData references(display.reference(), themes, folder);
    SmallPictures pictures(display.surfaces());
    hw::PrepareDisplay(display, references, pictures);
    // The debug overlay and both epicentre passes are drawn too.
    display.UseSettings({1, 1, 0, 4, 0, 1});
    state.NowTime = hw::MakeLocalTime(2026, 12, 10, 12, 0, 9);
    state.TickerOffset = -210;
  }

  hw::WorkFolderLayout folder{u"" HW_FUZZ_RUNTIME_DIR};
  hw::ThemeList themes;
  NoText text;
  Quiet quiet;
  hw::Display display{{text, quiet, quiet}};
  std::unique_ptr<hw::ReportStore> fetched = std::make_unique<hw::ReportStore>();
  hw::FetchShared fetch;
  hw::PaintState state;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Owner o;
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  o.state.LastFetchStatus =
      hw::ReadReportBody(body, *o.fetched, o.fetch.NewestId, o.fetch.LastShownId, {});
  if (o.state.LastFetchStatus != hw::FetchDone) return 0;
  // Demo reports: the label's path is taken on every paint.
  o.display.TakeOver(*o.fetched, hw::ReportSource::kDemo, o.state.NowTime);
  o.fetch.LastShownId = o.fetch.NewestId;
  for (const int second : {9, 10, 12}) {
    o.state.NowTime.tm_sec = second;
    o.state.TickerOffset += 97;
    o.display.Paint(o.state);
  }
  return 0;
}

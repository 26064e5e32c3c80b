#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "acquisition/report_body.h"
#include "display/frame_composer.h"
#include "display/window_painter.h"
#include "platform/clock.h"
#include "platform/map_picture.h"
#include "refdata/initial_value.h"

// Any bytes are a fetched body: read as a fetch reads it and, when it holds a new report,
// taken over, composed and painted as the main loop does. The display's state lives on from
// one input to the next, so sequences of reports are composed as the program meets them. The
// maps are small pictures and text is not rasterised, so that the layers' logic is what runs.
namespace {

class Quiet final : public hw::EventLogWriter, public hw::RepaintTarget, public hw::FramePhase {
 public:
  void WriteEventLog(std::u16string_view) override {}
  void InvalidateRect() override {}
  int FrameSubCount() override { return 0; }
  void Wait(int) override {}
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

// The label's path is taken too: the demo says so on every paint.
hw::FeedState DemoFeed() {
  hw::FeedState feed;
  feed.shown = hw::ReportSource::kDemo;
  return feed;
}

hw::Surface Picture(int width, int height) {
  hw::Surface picture(width, height);
  picture.Fill(0x404040);
  return picture;
}

struct Display {
  Display() {
    hw::ReloadReferenceData(*reference, themes, hw::WorkFolderLayout(u"" HW_FUZZ_RUNTIME_DIR));
    surfaces.CreateWorkingSurfaces();
    surfaces[hw::MidIntensitySurface].surface = Picture(640, 64);
    surfaces[hw::MinIntensitySurface].surface = Picture(640, 64);
    surfaces[hw::ShingenSurface].surface = Picture(74, 74);
    for (const hw::SurfaceIndex map : {hw::JpMap1Surface, hw::JpMap2Surface, hw::WorldMapSurface})
      surfaces[map].map = std::make_unique<hw::DecodedMapPicture>(Picture(96, 64));
  }

  hw::ThemeList themes;
  std::unique_ptr<hw::ReferenceTables> reference = std::make_unique<hw::ReferenceTables>();
  hw::ThemeLayout theme;
  hw::LayerSurfaces surfaces;
  hw::FontTable fonts{};
  NoText text;
  Quiet quiet;
  int epiFront = 1, epiBlink = 1, shindoMap = 0, speedDraw = 4, aspect = 0, debug = 1;
  hw::PictureSettings settings{epiFront, epiBlink, shindoMap, speedDraw, aspect, debug};
  hw::FeedState feed = DemoFeed();
  std::unique_ptr<hw::ReportStore> fetched = std::make_unique<hw::ReportStore>();
  std::unique_ptr<hw::ReportStore> shown = std::make_unique<hw::ReportStore>();
  hw::FetchShared fetch;
  hw::FrameComposer composer{
      hw::ComposeInputs{*shown, theme, *reference, surfaces, fonts, text, settings, quiet}, quiet};
  std::tm now = hw::MakeLocalTime(2026, 12, 10, 12, 0, 9);
  int tickerOffset = -210, tickerMoved = 0, paintCount = 0, fetchPhase = 0;
  hw::FetchStatusValue lastStatus = hw::FetchIdle;
  hw::WindowPainter painter{
      hw::PaintInputs{surfaces, *shown, theme, fonts, text, settings, fetch, feed,
                      composer.mapLayer(), composer.compositions()},
      hw::PaintCounters{now, tickerOffset, tickerMoved, paintCount, fetchPhase, lastStatus}, quiet};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Display d;
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  d.lastStatus = hw::ReadReportBody(body, *d.fetched, d.fetch.NewestId, d.fetch.LastShownId, {});
  if (d.lastStatus != hw::FetchDone) return 0;
  *d.shown = *d.fetched;
  d.fetch.LastShownId = d.fetch.NewestId;
  hw::SortObservationPoints(d.shown->latest);
  d.composer.ComposeFrame();
  for (const int second : {9, 10, 12}) {
    d.now.tm_sec = second;
    d.tickerOffset += 97;
    d.painter.OnPaint(false);
  }
  return 0;
}

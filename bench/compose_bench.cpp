// One composition and one paint with the default theme and its real maps, fonts and
// reference files, against a page memcpy measured in the same run. A composition includes
// decoding the part of the map it shows.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "acquisition/report_body.h"
#include "display/frame_composer.h"
#include "display/theme_assets.h"
#include "display/window_painter.h"
#include "page_yardstick.h"
#include "platform/blit.h"
#include "platform/clock.h"
#include "platform/qt/qt_headless_gui.h"
#include "platform/qt/qt_picture_decoder.h"
#include "platform/qt/qt_text_renderer.h"
#include "refdata/initial_value.h"
#include "settings/app_settings.h"

namespace {

constexpr std::int64_t kPageBytes = std::int64_t{hw::kPageWidth} * hw::kPageHeight * 4;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class NoLog final : public hw::EventLogWriter {
 public:
  void WriteEventLog(std::u16string_view) override {}
};

class NoWindow final : public hw::RepaintTarget {
 public:
  void InvalidateRect() override {}
};

class NoPacing final : public hw::FramePhase {
 public:
  int FrameSubCount() override { return 0; }
  void Wait(int) override {}
};

// The program's display state over the bundled working folder.
struct Display {
  Display() {
    hw::ReloadReferenceData(*reference, themes, folder);
    hw::LoadThemeLayout(folder.ThemeLayoutFile(u"Theme_REV"), theme);
    const hw::FontSpecs specs = hw::FontSpecsFor(theme);
    for (std::size_t i = 0; i < specs.size(); ++i)
      fonts[i] = text.CreateFont(specs[i]);
    surfaces.CreateWorkingSurfaces();
    hw::ThemeAssets assets(
        surfaces, [this] { return folder.ThemeFolder(u"Theme_REV"); }, decoder, text);
    assets.LoadThemeAssets();
  }

  // Reads a body as a fetch does and takes it over as the loop does, without composing.
  void TakeOver(const std::string& body) {
    std::u16string newest;
    hw::ReadReportBody(body, *fetched, newest, u"", {});
    *shown = *fetched;
    hw::SortObservationPoints(shown->latest);
  }

  hw::HeadlessGui gui;
  hw::WorkFolderLayout folder{u"" HW_BENCH_RUNTIME_DIR};
  hw::ThemeList themes;
  std::unique_ptr<hw::ReferenceTables> reference = std::make_unique<hw::ReferenceTables>();
  hw::ThemeLayout theme;
  hw::QtTextRenderer text;
  hw::QtPictureDecoder decoder;
  hw::FontTable fonts{};
  hw::LayerSurfaces surfaces;
  std::unique_ptr<hw::ReportStore> fetched = std::make_unique<hw::ReportStore>();
  std::unique_ptr<hw::ReportStore> shown = std::make_unique<hw::ReportStore>();
  hw::AppSettings settings;
  hw::PictureSettings pictureSettings{settings.EpiFront,  settings.EpiBlink, settings.ShindoMap,
                                      settings.SpeedDraw, settings.Aspect,   settings.Debug,
                                      settings.Demo};
  NoLog log;
  NoWindow window;
  hw::FrameComposer composer{
      hw::ComposeInputs{*shown, theme, *reference, surfaces, fonts, text, pictureSettings, log},
      window};
};

Display& TheDisplay() {
  static Display display;
  return display;
}

// A detailed report from Wakkanai to Ishigaki: the view spans Japan, level 10.
std::string WholeJapanBody() {
  return R"([{"code":551,"earthquake":{"domesticTsunami":"None","foreignTsunami":"Unknown",)"
         R"("hypocenter":{"depth":40,"latitude":33.0,"longitude":135.0,"magnitude":7.5,)"
         R"("name":"紀伊半島沖"},"maxScale":30,"time":"2024/01/05 07:08:00"},"id":"wide",)"
         R"("issue":{"correct":"None","source":"気象庁","time":"2024/01/05 07:12:00",)"
         R"("type":"DetailScale"},"points":[{"addr":"稚内市中央","isArea":false,)"
         R"("pref":"北海道","scale":30},{"addr":"石垣市登野城","isArea":false,"pref":"沖縄県",)"
         R"("scale":10}],"time":"2024/01/05 07:12:30.123","ver":"20180128"}])";
}

void Compose(benchmark::State& state, const std::string& body) {
  Display& d = TheDisplay();
  for (auto _ : state) {
    state.PauseTiming();
    d.TakeOver(body);
    state.ResumeTiming();
    d.composer.ComposeFrame();
    benchmark::ClobberMemory();
  }
  state.counters["level"] = d.composer.mapLayer().record().view.level;
  state.counters["points"] = d.shown->latest.pointCount;
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}

void BM_MemcpyPage(benchmark::State& state) {
  hw::bench::MemcpyPage(state);
}
BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMillisecond);

void BM_MemcpyPageFromMemory(benchmark::State& state) {
  hw::bench::MemcpyPageFromMemory(state);
}
BENCHMARK(BM_MemcpyPageFromMemory)->Unit(benchmark::kMillisecond);

// The same bytes as one page of the canvas, whose rows lie 9,600 pixels apart: what the
// painter's copies and blends actually move (the canvas does not fit the cache).
void BM_CopyPageWithinCanvas(benchmark::State& state) {
  hw::Surface& canvas = TheDisplay().surfaces[hw::CanvasSurface].surface;
  for (auto _ : state) {
    hw::BitBlt(canvas, hw::PageX(hw::DisplayPage), 0, hw::kPageWidth, hw::kPageHeight, canvas,
               hw::PageX(hw::AreaPage), 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK(BM_CopyPageWithinCanvas)->Unit(benchmark::kMillisecond);

void BM_Compose(benchmark::State& state, const char* file) {
  Compose(state, ReadFile(std::string(HW_BENCH_RUNTIME_DIR) + "/Storage/" + file));
}
BENCHMARK_CAPTURE(BM_Compose, ScalePrompt, "demo1.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compose, Destination, "demo2.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compose, DetailScale, "demo3.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compose, Foreign, "demo4.json")->Unit(benchmark::kMillisecond);

void BM_ComposeDetailScale2283(benchmark::State& state) {
  Compose(state, ReadFile(std::string(HW_BENCH_FIXTURE_DIR) + "/compose/detailscale-2283.json"));
}
BENCHMARK(BM_ComposeDetailScale2283)->Unit(benchmark::kMillisecond);

void BM_ComposeLevel10(benchmark::State& state) {
  Compose(state, WholeJapanBody());
}
BENCHMARK(BM_ComposeLevel10)->Unit(benchmark::kMillisecond);

// Paints of a detailed report with the ticker, the cross-fade at its start and the pulse:
// full assemblies (every paint at a new fade step), and paints where only the ticker moved.
struct Painting {
  explicit Painting(Display& d) : display(d) {
    d.settings.EpiBlink = 1;
    d.settings.EpiFront = 1;
    d.TakeOver(ReadFile(std::string(HW_BENCH_RUNTIME_DIR) + "/Storage/demo3.json"));
    d.composer.ComposeFrame();
  }
  ~Painting() {
    display.settings.EpiBlink = 0;
    display.settings.EpiFront = 0;
  }

  Display& display;
  std::tm now = hw::MakeLocalTime(2026, 12, 10, 12, 0, 9);
  int tickerOffset = 0;
  int tickerMoved = 1;
  int paintCount = 0;
  int fetchPhase = 0;
  hw::FetchStatusValue lastStatus = hw::FetchIdle;
  hw::FetchShared fetch;
  NoPacing pacing;
  hw::WindowPainter painter{
      hw::PaintInputs{display.surfaces, *display.shown, display.theme, display.fonts, display.text,
                      display.pictureSettings, fetch, display.composer.mapLayer(),
                      display.composer.compositions()},
      hw::PaintCounters{now, tickerOffset, tickerMoved, paintCount, fetchPhase, lastStatus},
      pacing};
};

// Two paints per iteration, both full: one in the last second of a slot (the fade of the
// previous iteration going on), one at the switch (the fade starting again).
void BM_PaintFadeAndPulse(benchmark::State& state) {
  Painting p(TheDisplay());
  p.painter.OnPaint(false);
  for (auto _ : state) {
    p.now.tm_sec = 9;
    ++p.tickerOffset;
    p.painter.OnPaint(false);
    p.now.tm_sec = 10;
    ++p.tickerOffset;
    p.painter.OnPaint(false);
  }
  state.SetItemsProcessed(state.iterations() * 2);
  state.SetBytesProcessed(state.iterations() * 2 * kPageBytes);
}
BENCHMARK(BM_PaintFadeAndPulse)->Unit(benchmark::kMillisecond);

void BM_PaintTickerOnly(benchmark::State& state) {
  Painting p(TheDisplay());
  p.now.tm_sec = 0;
  for (int i = 0; i < 40; ++i)
    p.painter.OnPaint(false);  // the pulse settles
  for (auto _ : state) {
    ++p.tickerOffset;
    p.painter.OnPaint(false);
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK(BM_PaintTickerOnly)->Unit(benchmark::kMillisecond);

// The window's share of a paint: the page stretched to a 640 × 480 window, whole and only in
// the ticker's band.
void BM_WindowStretch(benchmark::State& state) {
  Display& d = TheDisplay();
  hw::Surface window(640, 480);
  const hw::Rect band = state.range(0) == 0 ? hw::Rect{0, 0, 640, 480} : hw::Rect{0, 448, 640, 472};
  for (auto _ : state) {
    hw::StretchBlt(window, 0, 0, 640, 480, d.surfaces[hw::CanvasSurface].surface,
                   hw::PageX(hw::DisplayPage), 0, hw::kPageWidth, hw::kPageHeight, band);
    benchmark::DoNotOptimize(window.pixels());
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK(BM_WindowStretch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

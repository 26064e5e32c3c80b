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
#include <utility>
#include <vector>

#include "headless/headless_display.h"
#include "page_yardstick.h"
#include "platform/blit.h"
#include "platform/qt/qt_headless_gui.h"

namespace {

constexpr std::int64_t kPageBytes = std::int64_t{hw::kPageWidth} * hw::kPageHeight * 4;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The program's display over the bundled working folder.
hw::HeadlessDisplay& TheDisplay() {
  static hw::HeadlessGui gui;
  static std::string error;
  static const std::unique_ptr<hw::HeadlessDisplay> display =
      hw::HeadlessDisplay::Open(hw::WorkFolderLayout(u"" HW_BENCH_RUNTIME_DIR), error);
  return *display;
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

// Composes `body` again and again, as if each time it came as a new report. With `cityType`
// the city table is drawn in grid (1) or list (2) form; the list form with the keys the
// default theme's layout file suggests for it (every place, 19 lines of 25 characters).
// Each composition decodes its map, as for a report with a new view, unless `keptMap`.
void Compose(benchmark::State& state, const std::string& body, int cityType = 1,
             bool keptMap = false) {
  hw::HeadlessDisplay& d = TheDisplay();
  const hw::TableLayout grid = d.theme().table.City;
  if (cityType == 2) {
    hw::TableLayout& city = d.theme().table.City;
    city.type = 2;
    city.maxCount = 5000;
    city.maxRow = 24;
    city.maxColumn = 19;
  }
  d.Fetch(body);
  const hw::ReportStore taken = d.shown();
  for (auto _ : state) {
    state.PauseTiming();
    d.shown() = taken;
    if (!keptMap) d.display().ForgetKeptMap();
    state.ResumeTiming();
    d.Compose();
    benchmark::ClobberMemory();
  }
  state.counters["level"] = d.composer().mapLayer().record().view.level;
  state.counters["points"] = taken.latest.pointCount;
  state.SetBytesProcessed(state.iterations() * kPageBytes);
  d.theme().table.City = grid;
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
  hw::Surface& canvas = const_cast<hw::Surface&>(TheDisplay().canvas());
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

// Argument: the city table's form, 1 grid, 2 list.
void BM_ComposeDetailScale2283(benchmark::State& state) {
  Compose(state, ReadFile(std::string(HW_BENCH_FIXTURE_DIR) + "/compose/detailscale-2283.json"),
          static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ComposeDetailScale2283)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("city")
    ->Unit(benchmark::kMillisecond);

void BM_ComposeLevel10(benchmark::State& state) {
  Compose(state, WholeJapanBody());
}
BENCHMARK(BM_ComposeLevel10)->Unit(benchmark::kMillisecond);

// The 2,283-point report and the level-10 one again with the view of the composition before
// (a later report of the same earthquake): the kept map instead of a decode.
void BM_ComposeSameView(benchmark::State& state) {
  if (state.range(0) == 0) {
    Compose(state, ReadFile(std::string(HW_BENCH_FIXTURE_DIR) + "/compose/detailscale-2283.json"),
            1, true);
  } else {
    Compose(state, WholeJapanBody(), 1, true);
  }
}
BENCHMARK(BM_ComposeSameView)->Arg(0)->Arg(1)->ArgName("level10")->Unit(benchmark::kMillisecond);

// Paints of a detailed report with the ticker, the cross-fade at its start and the pulse:
// full assemblies (every paint at a new fade step), and paints where only the ticker moved.
hw::HeadlessDisplay& Painting() {
  hw::HeadlessDisplay& d = TheDisplay();
  d.settings().EpiBlink = 1;
  d.settings().EpiFront = 1;
  d.Fetch(ReadFile(std::string(HW_BENCH_RUNTIME_DIR) + "/Storage/demo3.json"));
  return d;
}

// Two paints per iteration, both full: one in the last second of a slot (the fade of the
// previous iteration going on), one at the switch (the fade starting again).
void BM_PaintFadeAndPulse(benchmark::State& state) {
  hw::HeadlessDisplay& d = Painting();
  d.Paint(9);
  for (auto _ : state) {
    d.Paint(9);
    d.Paint(10);
  }
  state.SetItemsProcessed(state.iterations() * 2);
  state.SetBytesProcessed(state.iterations() * 2 * kPageBytes);
}
BENCHMARK(BM_PaintFadeAndPulse)->Unit(benchmark::kMillisecond);

// The ticker moves a pixel between paints; nothing else changes.
void BM_PaintTickerOnly(benchmark::State& state) {
  hw::HeadlessDisplay& d = Painting();
  for (int i = 0; i < 40; ++i)
    d.Paint(0);  // the pulse settles
  for (auto _ : state) {
    d.MoveTicker(1);
    d.Paint(0);
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK(BM_PaintTickerOnly)->Unit(benchmark::kMillisecond);

// Paints at a window's own size (0 × 0: the page as it is), as frames of three kinds: a fade
// frame (every paint a new fade step), a ticker frame (the ticker moved a pixel) and a still
// frame (nothing changed). Each against a copy of a page of the window's size.
void BM_PaintAtWindowSize(benchmark::State& state) {
  const hw::Size window{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
  const int kind = static_cast<int>(state.range(2));
  hw::HeadlessDisplay& d = Painting();
  d.SetWindow(window);
  for (int i = 0; i < 40; ++i)
    d.Paint(0);  // the pulse settles, the pages are stretched
  for (auto _ : state) {
    if (kind == 0) {
      d.Paint(9);
      d.Paint(10);
    } else {
      if (kind == 1) d.MoveTicker(1);
      d.Paint(0);
    }
  }
  d.SetWindow({});
  const std::int64_t pixels = window.width > 0 ? std::int64_t{window.width} * window.height
                                               : std::int64_t{hw::kPageWidth} * hw::kPageHeight;
  const std::int64_t paints = kind == 0 ? 2 : 1;
  state.SetItemsProcessed(state.iterations() * paints);
  state.SetBytesProcessed(state.iterations() * paints * pixels * 4);
}
void PaintSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"w", "h", "frame"});
  for (const auto& [w, h] :
       {std::pair{640, 360}, std::pair{1918, 1055}, std::pair{0, 0}, std::pair{3840, 2160}}) {
    for (int kind : {0, 1, 2})
      b->Args({w, h, kind});
  }
}
BENCHMARK(BM_PaintAtWindowSize)->Apply(PaintSizes)->Unit(benchmark::kMillisecond);

// The window's own stretch, for a picture that is not of its size (while a resize is under
// way): the page stretched to a 640 × 480 window, whole and only in the ticker's band.
void BM_WindowStretch(benchmark::State& state) {
  hw::HeadlessDisplay& d = TheDisplay();
  hw::Surface window(640, 480);
  const hw::Rect band = state.range(0) == 0 ? hw::Rect{0, 0, 640, 480} : hw::Rect{0, 448, 640, 472};
  for (auto _ : state) {
    hw::StretchBlt(window, 0, 0, 640, 480, d.canvas(), hw::PageX(hw::DisplayPage), 0,
                   hw::kPageWidth, hw::kPageHeight, band);
    benchmark::DoNotOptimize(window.pixels());
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK(BM_WindowStretch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Copies of a page of a window's size: the yardstick for the paints above.
void BM_MemcpyWindow(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0)) * state.range(1) * 4;
  std::vector<std::uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_MemcpyWindow)
    ->Args({640, 360})
    ->Args({1918, 1055})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

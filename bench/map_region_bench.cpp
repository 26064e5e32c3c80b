// One composition's map: the default theme's maps stretched onto a 1920 × 1080 page, decoded
// by region when drawn, against the yardsticks of the same run: a page memcpy, and
// StretchBlt from a map decoded whole at start-up (what a composition cost while the maps were
// held whole). Every benchmark reports the bytes of one page per iteration.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "map_views.h"
#include "page_yardstick.h"
#include "platform/blit.h"
#include "platform/map_picture.h"
#include "platform/qt/qt_picture_decoder.h"

namespace {

using hw::bench::kPageHeight;
using hw::bench::kPageWidth;
using hw::bench::SourceRect;

constexpr std::int64_t kPageBytes = std::int64_t{kPageWidth} * kPageHeight * 4;

void ReportPage(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}

hw::MapPicture& OpenedMap(const char* name) {
  static hw::QtPictureDecoder decoder;
  static std::unique_ptr<hw::MapPicture> japan;
  static std::unique_ptr<hw::MapPicture> world;
  std::unique_ptr<hw::MapPicture>& map = name[0] == 'j' ? japan : world;
  if (!map) {
    map = decoder
              .OpenMap(hw::bench::ReadWholeFile(hw::bench::MapPath(name)),
                       hw::PictureFormat::kCompressed)
              .picture;
  }
  return *map;
}

void StretchRegion(benchmark::State& state, const char* name, SourceRect r) {
  hw::MapPicture& map = OpenedMap(name);
  hw::Surface page(kPageWidth, kPageHeight);
  for (auto _ : state) {
    if (!map.StretchTo(page, 0, 0, kPageWidth, kPageHeight, r.sx, r.sy, r.sw, r.sh)) {
      state.SkipWithError("map could not be decoded");
    }
    benchmark::DoNotOptimize(page.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}

void BM_MemcpyPage(benchmark::State& state) {
  hw::bench::MemcpyPage(state);
}
BENCHMARK(BM_MemcpyPage);

// Arguments: zoom level, view width in percent.
void BM_JapanRegionToPage(benchmark::State& state) {
  StretchRegion(
      state, "jp_map2.jpg",
      hw::bench::TokyoView(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
}
BENCHMARK(BM_JapanRegionToPage)
    ->ArgsProduct({{1, 3, 5, 7, 10}, {100, 125}})
    ->ArgNames({"level", "percent"})
    ->Unit(benchmark::kMillisecond);

// Argument: the view's top row (0 or 192).
void BM_WorldRegionToPage(benchmark::State& state) {
  StretchRegion(state, "world_map.jpg",
                hw::bench::WorldView(139.77, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_WorldRegionToPage)->Arg(0)->Arg(192)->ArgName("sy")->Unit(benchmark::kMillisecond);

// The yardstick: the whole map decoded once (not timed), then StretchBlt per composition.
void BM_JapanWholeDecodedToPage(benchmark::State& state) {
  static hw::QtPictureDecoder decoder;
  static const hw::DecodedPicture whole = decoder.Decode(
      hw::bench::ReadWholeFile(hw::bench::MapPath("jp_map2.jpg")), hw::PictureFormat::kCompressed);
  const SourceRect r =
      hw::bench::TokyoView(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  hw::Surface page(kPageWidth, kPageHeight);
  for (auto _ : state) {
    hw::StretchBlt(page, 0, 0, kPageWidth, kPageHeight, whole.picture, r.sx, r.sy, r.sw, r.sh);
    benchmark::DoNotOptimize(page.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_JapanWholeDecodedToPage)
    ->ArgsProduct({{1, 3, 5, 7, 10}, {100, 125}})
    ->ArgNames({"level", "percent"})
    ->Unit(benchmark::kMillisecond);

// Decoding the whole map, as start-up did for each map.
void BM_DecodeWholeJapanMap(benchmark::State& state) {
  hw::QtPictureDecoder decoder;
  const std::string bytes = hw::bench::ReadWholeFile(hw::bench::MapPath("jp_map2.jpg"));
  for (auto _ : state) {
    hw::DecodedPicture whole = decoder.Decode(bytes, hw::PictureFormat::kCompressed);
    benchmark::DoNotOptimize(whole.picture.pixels());
  }
}
BENCHMARK(BM_DecodeWholeJapanMap)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

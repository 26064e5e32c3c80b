// Page-sized blits against memcpy of the same page. Every benchmark reports the bytes of one
// 1920 × 1080 page per iteration, so its bytes/second compares directly with memcpy's.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "page_yardstick.h"
#include "platform/blit.h"
#include "platform/colorref.h"
#include "platform/surface.h"

namespace {

constexpr int kPageWidth = 1920;
constexpr int kPageHeight = 1080;
constexpr std::int64_t kPageBytes = std::int64_t{kPageWidth} * kPageHeight * 4;

hw::Surface Noise(int width, int height) {
  hw::Surface surface(width, height);
  std::uint32_t state = 12345;
  std::uint32_t* p = surface.pixels();
  for (std::size_t i = 0, n = surface.ByteCount() / 4; i < n; ++i) {
    state = state * 1664525u + 1013904223u;
    p[i] = 0xFF000000u | (state >> 8);
  }
  return surface;
}

void ReportPage(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}

void BM_MemcpyPage(benchmark::State& state) {
  hw::bench::MemcpyPage(state);
}
BENCHMARK(BM_MemcpyPage);

void BM_BitBltPage(benchmark::State& state) {
  const hw::Surface src = Noise(kPageWidth, kPageHeight);
  hw::Surface dst(kPageWidth, kPageHeight);
  for (auto _ : state) {
    hw::BitBlt(dst, 0, 0, kPageWidth, kPageHeight, src, 0, 0);
    benchmark::DoNotOptimize(dst.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_BitBltPage);

// Pages side by side on one wide canvas: copying a page is row by row, not one block.
void BM_BitBltPageWithinCanvas(benchmark::State& state) {
  constexpr int kPages = 7;
  hw::Surface canvas = Noise(kPageWidth * kPages, kPageHeight);
  for (auto _ : state) {
    hw::BitBlt(canvas, 0, 0, kPageWidth, kPageHeight, canvas, kPageWidth * 3, 0);
    benchmark::DoNotOptimize(canvas.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_BitBltPageWithinCanvas);

void BM_AlphaBlendPage(benchmark::State& state) {
  const hw::Surface src = Noise(kPageWidth, kPageHeight);
  hw::Surface dst = Noise(kPageWidth, kPageHeight);
  for (auto _ : state) {
    hw::AlphaBlend(dst, 0, 0, kPageWidth, kPageHeight, src, 0, 0, kPageWidth, kPageHeight, 128);
    benchmark::DoNotOptimize(dst.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_AlphaBlendPage);

void BM_TransparentBltPage(benchmark::State& state) {
  hw::Surface src = Noise(kPageWidth, kPageHeight);
  src.FillRect(200, 100, 800, 500, hw::kSpriteKey);
  hw::Surface dst(kPageWidth, kPageHeight);
  for (auto _ : state) {
    hw::TransparentBlt(dst, 0, 0, kPageWidth, kPageHeight, src, 0, 0, kPageWidth, kPageHeight,
                       hw::kSpriteKey);
    benchmark::DoNotOptimize(dst.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_TransparentBltPage);

// The bytes counted are those of the source page, the one every pixel of which is read.
void BM_StretchBltPageTo720p(benchmark::State& state) {
  const hw::Surface src = Noise(kPageWidth, kPageHeight);
  hw::Surface dst(1280, 720);
  for (auto _ : state) {
    hw::StretchBlt(dst, 0, 0, 1280, 720, src, 0, 0, kPageWidth, kPageHeight);
    benchmark::DoNotOptimize(dst.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_StretchBltPageTo720p)->Unit(benchmark::kMillisecond);

// The largest map crop shrunk to a page; bytes are those of the page written.
void BM_StretchBltMapCropToPage(benchmark::State& state) {
  const hw::Surface src = Noise(9216, 5184);
  hw::Surface dst(kPageWidth, kPageHeight);
  for (auto _ : state) {
    hw::StretchBlt(dst, 0, 0, kPageWidth, kPageHeight, src, 0, 0, 9216, 5184);
    benchmark::DoNotOptimize(dst.pixels());
    benchmark::ClobberMemory();
  }
  ReportPage(state);
}
BENCHMARK(BM_StretchBltMapCropToPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

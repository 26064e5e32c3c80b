// The outputs for streams, with the default theme and a real composed picture: taking the
// picture at the page's size after a paint at a window's size (the user-interface thread's
// part), and stretching, encoding and writing it (the worker's part), against a page memcpy
// measured in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "headless/headless_display.h"
#include "page_yardstick.h"
#include "platform/qt/png_output_worker.h"
#include "platform/qt/qt_headless_gui.h"
#include "platform/text_codec.h"
#include "shell/stream_outputs.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The program's display over the bundled working folder, showing the detailed demo report
// (its comment runs in the ticker), painted at a desktop window's size.
hw::HeadlessDisplay& TheDisplay() {
  static hw::HeadlessGui gui;
  static std::string error;
  static const std::unique_ptr<hw::HeadlessDisplay> display = [] {
    auto d = hw::HeadlessDisplay::Open(hw::WorkFolderLayout(u"" HW_BENCH_RUNTIME_DIR), error);
    d->Fetch(ReadFile(std::string(HW_BENCH_RUNTIME_DIR) + "/Storage/demo3.json"));
    d->SetWindow({1918, 1055});
    d->Paint(0);
    return d;
  }();
  return *display;
}

// The frame the loop hands the worker: the page picture copied into the frame's buffer.
hw::OutputFrame TakeFrame(hw::Display& display, std::vector<std::uint32_t> buffer) {
  return hw::FrameOf(display.painter().PictureAtPageSize(), std::move(buffer));
}

void BM_MemcpyPage(benchmark::State& state) {
  hw::bench::MemcpyPage(state);
}
BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMillisecond);

// The user-interface thread's part of one output frame after a paint at window size: the
// ticker moved, the page is assembled whole and copied into the frame.
void BM_TakeFrameAfterWindowPaint(benchmark::State& state) {
  hw::HeadlessDisplay& d = TheDisplay();
  std::vector<std::uint32_t> buffer;
  for (auto _ : state) {
    state.PauseTiming();
    d.MoveTicker(13);
    d.Paint(1);
    state.ResumeTiming();
    hw::OutputFrame frame = TakeFrame(d.display(), std::move(buffer));
    benchmark::DoNotOptimize(frame.pixels.data());
    buffer = std::move(frame.pixels);
  }
  state.SetBytesProcessed(state.iterations() * hw::bench::kYardstickPageBytes);
}
BENCHMARK(BM_TakeFrameAfterWindowPaint)->Unit(benchmark::kMillisecond);

// The worker's part. Arguments: output width (1920: as it is; 1280: stretched to 1280 × 720),
// overlay form (key colour made transparent), file written.
void BM_EncodeFrame(benchmark::State& state) {
  hw::HeadlessDisplay& d = TheDisplay();
  const hw::OutputFrame model = TakeFrame(d.display(), {});
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "hw-bench.png";
  std::int64_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    hw::OutputFrame frame;
    frame.pixels = model.pixels;
    frame.width = model.width;
    frame.height = model.height;
    frame.size = {static_cast<int>(state.range(0)), static_cast<int>(state.range(0)) * 9 / 16};
    if (state.range(1) != 0) frame.transparentKey = hw::MakeColorRef(0x0d, 0x1b, 0x3a);
    if (state.range(2) != 0) frame.file = hw::Utf8ToUtf16(file.string());
    state.ResumeTiming();
    const hw::OutputResult result = hw::EncodeOutputFrame(std::move(frame));
    bytes = result.png ? static_cast<std::int64_t>(result.png->size()) : 0;
  }
  state.counters["png_kB"] = static_cast<double>(bytes) / 1000.0;
  std::filesystem::remove(file);
}
BENCHMARK(BM_EncodeFrame)
    ->Args({1920, 0, 0})
    ->Args({1920, 0, 1})
    ->Args({1920, 1, 1})
    ->Args({1280, 0, 1})
    ->ArgNames({"width", "overlay", "file"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

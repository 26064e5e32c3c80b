#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace hw::bench {

// The bytes of one 1920 × 1080 page of 32-bit pixels.
inline constexpr std::int64_t kYardstickPageBytes = std::int64_t{1920} * 1080 * 4;

// The yardstick every benchmark of the picture is read against: one page copied with
// memcpy, in the same run.
inline void MemcpyPage(benchmark::State& state) {
  std::vector<std::uint8_t> from(kYardstickPageBytes, 0x5A);
  std::vector<std::uint8_t> to(kYardstickPageBytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kYardstickPageBytes);
}

// The same from and to pages that are not in the cache: the copy rotates through buffers
// larger than any cache, as the program's pages (41 MB of canvas) are.
inline void MemcpyPageFromMemory(benchmark::State& state) {
  constexpr int kPages = 8;
  std::vector<std::vector<std::uint8_t>> pages(kPages,
                                               std::vector<std::uint8_t>(kYardstickPageBytes, 1));
  int next = 0;
  for (auto _ : state) {
    std::memcpy(pages[(next + 1) % kPages].data(), pages[next].data(), kYardstickPageBytes);
    next = (next + 2) % kPages;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kYardstickPageBytes);
}

}  // namespace hw::bench

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

}  // namespace hw::bench

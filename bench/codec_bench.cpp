#include <benchmark/benchmark.h>

#include <string>

#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace {

// About the size of a full report list: JSON that is mostly ASCII with Japanese place names.
std::string ReportBody() {
  std::string body;
  for (int i = 0; body.size() < 700'000; ++i) {
    body +=
        "{\"code\":551,\"time\":\"2024/01/01 16:10:09\",\"issue\":{\"source\":\"気象庁\","
        "\"type\":\"DetailScale\"},\"points\":[{\"addr\":\"石川県輪島市\",\"scale\":" +
        std::to_string(i % 7) + "}]},";
  }
  return body;
}

void BM_Utf8ToUtf16Report(benchmark::State& state) {
  const std::string body = ReportBody();
  for (auto _ : state)
    benchmark::DoNotOptimize(hw::Utf8ToUtf16(body));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_Utf8ToUtf16Report)->Unit(benchmark::kMicrosecond);

void BM_IsValidUtf8Report(benchmark::State& state) {
  const std::string body = ReportBody();
  for (auto _ : state)
    benchmark::DoNotOptimize(hw::IsValidUtf8(body));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_IsValidUtf8Report)->Unit(benchmark::kMicrosecond);

void BM_ParseSettings(benchmark::State& state) {
  std::string file;
  for (int section = 0; section < 20; ++section) {
    file += "[Section" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 20; ++key)
      file += "Key" + std::to_string(key) + " = value\r\n";
    file += "\r\n";
  }
  for (auto _ : state) {
    const hw::ProfileFile profile = hw::ProfileFile::Parse(file);
    benchmark::DoNotOptimize(profile.GetPrivateProfileInt(u"section19", u"key19", 0));
  }
}
BENCHMARK(BM_ParseSettings)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

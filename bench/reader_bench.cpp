// The report reader's three passes over bodies of real reports: a body of about 700 KB (a
// full list of long reports as the service sends it) and one just below the body limit,
// against the page copy measured in the same run.

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"
#include "page_yardstick.h"

namespace {

// Real reports repeated (with distinct ids) up to just below `limit` bytes.
std::string BodyOf(std::size_t limit) {
  std::ifstream in(HW_BENCH_FIXTURE_DIR "/samples/detailscale-2024-08-10-two-reports.json");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string reports = bytes.str().substr(1, bytes.str().size() - 2);
  std::string body = "[";
  for (int i = 0; body.size() + reports.size() + 2 < limit; ++i) {
    std::string copy = reports;
    copy.replace(copy.find("\"id\":\"") + 6, 4, std::to_string(1000 + i % 9000));
    body += (i ? "," : "") + copy;
  }
  return body + "]";
}

void BM_MemcpyPage(benchmark::State& state) {
  hw::bench::MemcpyPage(state);
}
BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMillisecond);

// Arg 0: about 700 KB; 1: just below the body limit of 20 reports.
void BM_ReadReportBody(benchmark::State& state) {
  const std::string body =
      BodyOf(state.range(0) == 0 ? 700 * 1024 : hw::FetchWorker::BodyLimit(20));
  const auto store = std::make_unique<hw::ReportStore>();
  const std::u16string shown;
  for (auto _ : state) {
    std::u16string newest;
    benchmark::DoNotOptimize(hw::ReadReportBody(body, *store, newest, shown, {}));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
  state.counters["body_bytes"] = static_cast<double>(body.size());
}
BENCHMARK(BM_ReadReportBody)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

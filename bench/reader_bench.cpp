// The report reader's three passes over a full-size body of real reports.

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"

namespace {

// Real reports repeated (with distinct ids) up to just below the body limit of 20 reports.
std::string FullBody() {
  std::ifstream in(HW_BENCH_FIXTURE_DIR "/samples/detailscale-2024-08-10-two-reports.json");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string reports = bytes.str().substr(1, bytes.str().size() - 2);
  std::string body = "[";
  for (int i = 0; body.size() + reports.size() + 2 < hw::FetchWorker::BodyLimit(20); ++i) {
    std::string copy = reports;
    copy.replace(copy.find("\"id\":\"") + 6, 4, std::to_string(1000 + i % 9000));
    body += (i ? "," : "") + copy;
  }
  return body + "]";
}

void BM_ReadReportBody(benchmark::State& state) {
  const std::string body = FullBody();
  const auto store = std::make_unique<hw::ReportStore>();
  const std::u16string shown;
  for (auto _ : state) {
    std::u16string newest;
    benchmark::DoNotOptimize(hw::ReadReportBody(body, *store, newest, shown, {}));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
  state.counters["body_bytes"] = static_cast<double>(body.size());
}
BENCHMARK(BM_ReadReportBody)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

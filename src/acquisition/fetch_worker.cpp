#include "acquisition/fetch_worker.h"

#include <algorithm>

#include "acquisition/report_body.h"
#include "platform/atomic_file.h"
#include "platform/bounded_download.h"
#include "platform/file_system.h"

namespace hw {

FetchWorker::FetchWorker(FetchShared& shared, HttpClient& http,
                         std::function<FetchConfig()> configure)
    : shared_(shared),
      http_(http),
      configure_(std::move(configure)),
      store_(std::make_unique<ReportStore>()) {}

FetchWorker::~FetchWorker() {
  Shutdown();
}

void FetchWorker::StartFetchWorker() {
  shared_.FetchCount.fetch_add(1, std::memory_order_relaxed);
  // The run is claimed here, before the thread exists, so that the word says FetchRunning from
  // the moment the start returns: a second start right after it (a push channel's connection
  // and the next tick) only counts. A run or an untaken result pending: no thread.
  if (!Claim()) return;
  // The previous worker has published its result, so it is at its end: joining is immediate.
  if (thread_.joinable()) thread_.join();
  thread_ = std::thread([this, config = configure_()] { RunClaimedFetch(config); });
}

void FetchWorker::Shutdown() {
  http_.AbortAll();
  if (thread_.joinable()) thread_.join();
}

bool FetchWorker::Claim() {
  FetchStatusValue expected = FetchIdle;
  return shared_.FetchStatus.compare_exchange_strong(expected, FetchRunning,
                                                     std::memory_order_acq_rel);
}

void FetchWorker::RunFetch(const FetchConfig& config) {
  if (Claim()) RunClaimedFetch(config);
}

void FetchWorker::RunClaimedFetch(const FetchConfig& config) {
  shared_.Detail = FetchDetail{};
  shared_.Detail.source = SourceOf(config);
  if (const FetchStatusValue failure = GetBody(config); failure != FetchRunning) {
    Publish(failure);
    return;
  }
  const FetchStatusValue result =
      ReadReportBody(body_, *store_, shared_.NewestId, shared_.LastShownId, config.paddings);
  if (result == FetchBadBody) shared_.Detail.problem = FetchProblem::kNotAList;
  if (result == FetchNoReports && !IsEmptyReportList(body_)) {
    shared_.Detail.problem = FetchProblem::kUnreadable;
  }
  if (result == FetchDone && config.SiJson != 0) {
    // A history file that cannot be written does not fail the fetch.
    if (const std::u16string path = HistoryFilePath(config); !path.empty()) {
      WriteFileAtomically(path, body_);
    }
  }
  // A live list that replaces the picture is kept whole, to be shown at the next start until
  // the service answers; demo and sandbox lists never are, so they are never taken for live.
  if (result == FetchDone && shared_.Detail.source == ReportSource::kLive) {
    WriteFileAtomically(config.WorkingFolder.LastKnownFile(), body_);
  }
  Publish(result);
}

FetchStatusValue FetchWorker::GetBody(const FetchConfig& config) {
  body_.clear();
  FetchDetail& detail = shared_.Detail;
  detail.limit = BodyLimit(config.HisJsonNum);
  if (config.Demo <= 0) {
    if (const FetchStatusValue failure = GetLiveBody(config); failure != FetchRunning) {
      return failure;
    }
  } else if (const std::u16string file = DemoFile(config); !file.empty()) {
    // A missing file gives an empty body; a file past the limit is refused as a download is.
    body_ = ReadFileBytes(file, detail.limit).value_or(std::string());
    detail.received = body_.size();
    if (body_.size() >= detail.limit) {
      body_.clear();
      detail.problem = FetchProblem::kTooLarge;
      return FetchBadBody;
    }
  }
  // The body is a C string: whatever follows a NUL byte is not part of it.
  if (const std::size_t nul = body_.find('\0'); nul != std::string::npos) body_.resize(nul);
  return FetchRunning;
}

FetchStatusValue FetchWorker::GetLiveBody(const FetchConfig& config) {
  FetchDetail& detail = shared_.Detail;
  BoundedBody download =
      BoundedGet(http_, RequestUrl(config), detail.limit + 1, config.maxRedirects);
  const HttpResult& result = download.result;
  detail.httpStatus = result.status;
  detail.error = result.error;
  detail.errorText = result.errorText;
  detail.redirects = result.redirects;
  detail.finalUrl = result.finalUrl;
  detail.retryAfterSeconds = result.retryAfterSeconds;
  detail.received = download.received;
  detail.announced = result.announced;

  const auto failed = [&](FetchProblem problem, int stage) {
    detail.problem = problem;
    shared_.NetErrorStage.store(stage);
    shared_.LastNetError.store(result.error);
    return stage == 1 ? FetchOpenFailed : FetchUrlFailed;
  };
  if (result.stage == HttpStage::kSessionFailed) return failed(FetchProblem::kNoSession, 1);
  if (result.stage != HttpStage::kOpened) return failed(FetchProblem::kUnreachable, 2);
  // Only a whole body is a report list: a body that hit the limit is cut, a transfer that
  // failed or fell short of its Content-Length is broken, and an error answer (a 429 or 503
  // may well carry "[]") is a server error whatever it holds.
  if (download.limitReached) {
    detail.problem = FetchProblem::kTooLarge;
    return FetchBadBody;
  }
  if (result.error != 0) return failed(FetchProblem::kBrokenAnswer, 2);
  if (result.status < 200 || result.status > 299) {
    detail.problem = FetchProblem::kHttpStatus;
    return FetchBadBody;
  }
  if (result.announced >= 0 && download.received != static_cast<std::size_t>(result.announced)) {
    return failed(FetchProblem::kShortAnswer, 2);
  }
  body_ = std::move(download.body);
  return FetchRunning;
}

ReportSource FetchWorker::SourceOf(const FetchConfig& config) {
  if (config.Demo > 0) return ReportSource::kDemo;
  return config.SandboxSwitch != 0 ? ReportSource::kSandbox : ReportSource::kLive;
}

std::string FetchWorker::RequestUrl(const FetchConfig& config) {
  const std::string& base = config.SandboxSwitch != 0 ? config.sandboxBase : config.apiBase;
  return base + "/v2/history?codes=551&limit=" + std::to_string(config.HisJsonNum);
}

std::u16string FetchWorker::DemoFile(const FetchConfig& config) {
  if (config.Demo == 1) return config.WorkingFolder.DemoFile();
  if (config.Demo != 2) return {};
  // The file changes every 30 seconds over a two-minute cycle (a leap second stays in the
  // last quarter).
  const int index = std::min(3, (config.NowTime.tm_sec + (config.NowTime.tm_min % 2) * 60) / 30);
  return config.WorkingFolder.RotatingDemoFile(index + 1);
}

std::u16string FetchWorker::HistoryFilePath(const FetchConfig& config) {
  if (config.HisJsonSavePath.empty()) return {};
  return config.WorkingFolder.UserPath(config.HisJsonSavePath);
}

}  // namespace hw

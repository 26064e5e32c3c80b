#pragma once

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "acquisition/fetch_service.h"
#include "acquisition/fetch_status.h"
#include "acquisition/report_model.h"
#include "acquisition/report_reader.h"
#include "platform/http_client.h"
#include "platform/work_folder_layout.h"

namespace hw {

// What one fetch needs to know, taken on the window's thread when the fetch starts so that
// the worker never reads settings the user may be changing.
struct FetchConfig {
  int Demo = 0;
  int SandboxSwitch = 0;
  int HisJsonNum = 20;
  int SiJson = 0;
  std::u16string HisJsonSavePath;
  WorkFolderLayout WorkingFolder;
  std::string apiBase;
  std::string sandboxBase;
  std::tm NowTime{};
  TimePaddings paddings;
  // Redirects this fetch may follow: fewer when the request budget is nearly spent.
  int maxRedirects = 3;
};

// Gets the latest reports on a short-lived thread, from the web API or in demo mode from a
// stored file, lets the reader fill the worker's own report stores, optionally saves the body,
// and leaves its result in FetchStatus. The main loop copies the stores over when it takes a
// FetchDone result, so painting never reads what a worker writes.
class FetchWorker final : public FetchService {
 public:
  // The largest report the service plausibly sends: a detailed intensity report lists every
  // station that felt the earthquake, at most about 4,400 (the reader keeps up to 5,000), at
  // about 85 bytes each in compact JSON (a 2,000-point report is about 150 KB). 512 KiB holds
  // 5,000 points of 100 bytes with room for the rest of the report.
  static constexpr std::size_t kReportBytes = std::size_t{512} * 1024;
  // [File] HisJsonNum asks for 1 to 100 reports.
  static constexpr int kMaxReports = 100;
  // A body of this size or more for `reports` reports cannot be a real list: it is refused,
  // never read or saved cut. 20 reports allow 10 MiB.
  static constexpr std::size_t BodyLimit(int reports) {
    return static_cast<std::size_t>(std::clamp(reports, 1, kMaxReports)) * kReportBytes;
  }
  // The largest body any fetch keeps (and so any body file the tools read).
  static constexpr std::size_t kBodyLimit = kMaxReports * kReportBytes;

  FetchWorker(FetchShared& shared, HttpClient& http, std::function<FetchConfig()> configure);
  ~FetchWorker() override;
  FetchWorker(const FetchWorker&) = delete;
  FetchWorker& operator=(const FetchWorker&) = delete;

  // Counts the start; when no result is pending, runs one fetch on a new thread.
  void StartFetchWorker() override;
  const ReportStore& Result() override { return *store_; }
  // Aborts a running transfer and waits for the thread.
  void Shutdown() override;

  // The worker's steps on the calling thread: claims the run (nothing happens when FetchStatus
  // is not FetchIdle), gets the body, reads it and publishes the result.
  void RunFetch(const FetchConfig& config);

  // Where a fetch of a configuration reads from.
  static ReportSource SourceOf(const FetchConfig& config);
  // The request address for a configuration.
  static std::string RequestUrl(const FetchConfig& config);
  // The demo file for a configuration; empty when the demo mode has none.
  static std::u16string DemoFile(const FetchConfig& config);
  // Where the body is saved: empty setting → nowhere; "."-relative → below the working folder.
  static std::u16string HistoryFilePath(const FetchConfig& config);

  const ReportStore& store() const { return *store_; }
  const std::string& body() const { return body_; }

 private:
  // The compare-and-swap from FetchIdle to FetchRunning; false when the word was not idle.
  bool Claim();
  // The steps after the claim.
  void RunClaimedFetch(const FetchConfig& config);
  // FetchRunning when a whole body (perhaps empty) is in body_, else the failure to publish;
  // fills shared_.Detail either way.
  FetchStatusValue GetBody(const FetchConfig& config);
  FetchStatusValue GetLiveBody(const FetchConfig& config);
  void Publish(FetchStatusValue status) {
    shared_.FetchStatus.store(status, std::memory_order_release);
  }

  FetchShared& shared_;
  HttpClient& http_;
  std::function<FetchConfig()> configure_;
  std::unique_ptr<ReportStore> store_;
  std::string body_;
  std::thread thread_;
};

}  // namespace hw

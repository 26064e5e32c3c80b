#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "platform/http_client.h"
#include "refdata/station_json_dl.h"

namespace hw {

// Runs the station list refresh on a thread of its own, so that neither the start nor the
// window waits for the agency's server. The main loop starts a refresh and takes its outcome
// over on a later tick, as it does with the fetch worker: the downloader and the outcome belong
// to the thread until it publishes that it has ended (release), and the loop reads the outcome
// only after it has seen that (acquire).
class StationRefreshWorker {
 public:
  explicit StationRefreshWorker(HttpClient& http)
      : downloader_(std::make_unique<CStationJsonDL>(http)) {}
  // Waits for a running refresh; whoever owns the HTTP client aborts its transfers first.
  ~StationRefreshWorker() { Join(); }
  StationRefreshWorker(const StationRefreshWorker&) = delete;
  StationRefreshWorker& operator=(const StationRefreshWorker&) = delete;

  // Starts a refresh with `config`, unless one is running or its outcome has not been taken
  // over yet; false then.
  bool Start(StationRefreshConfig config);
  // The outcome of a refresh that has ended, once; nothing while one runs or none ran.
  std::optional<StationRefreshOutcome> TakeOutcome();
  // Waits for a running refresh to end.
  void Join();

 private:
  enum State : int { kIdle, kRunning, kEnded };

  std::atomic<int> state_{kIdle};
  std::unique_ptr<CStationJsonDL> downloader_;
  StationRefreshOutcome outcome_;
  std::thread thread_;
};

}  // namespace hw

#include "refdata/station_refresh_worker.h"

#include <utility>

namespace hw {

bool StationRefreshWorker::Start(StationRefreshConfig config) {
  if (state_.load(std::memory_order_acquire) != kIdle) return false;
  // The previous refresh has published its end, so joining is immediate.
  if (thread_.joinable()) thread_.join();
  state_.store(kRunning, std::memory_order_relaxed);
  thread_ = std::thread([this, config = std::move(config)] {
    outcome_ = downloader_->RefreshStationFile(config);
    state_.store(kEnded, std::memory_order_release);
  });
  return true;
}

std::optional<StationRefreshOutcome> StationRefreshWorker::TakeOutcome() {
  if (state_.load(std::memory_order_acquire) != kEnded) return std::nullopt;
  StationRefreshOutcome outcome = std::move(outcome_);
  outcome_ = {};
  state_.store(kIdle, std::memory_order_relaxed);
  return outcome;
}

void StationRefreshWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace hw

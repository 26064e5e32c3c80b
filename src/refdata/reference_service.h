#pragma once

#include <string>
#include <vector>

namespace hw {

// How the main loop and start-up reach the reference data: the station list refresh and the
// reference files. The program's tables implement it; tests use recording fakes.
class ReferenceService {
 public:
  virtual ~ReferenceService() = default;
  // Starts the station list refresh on a thread of its own and returns at once; nothing
  // happens with [Config] StaJson 0 or while a refresh is still running.
  virtual void StartStationRefresh() = 0;
  // Called by the main loop on every tick: true once when a refresh has ended (its outcome is
  // then among the log lines).
  virtual bool TakeOverStationRefresh() = 0;
  virtual void ReloadReferenceData() = 0;
  virtual void LoadStations() = 0;
  // The event log lines (texts after the prefix) since the last call: how refreshes ended and
  // what the file readers skipped.
  virtual std::vector<std::u16string> TakeLogLines() = 0;
  // Ends a running refresh at once and waits for its thread.
  virtual void Shutdown() = 0;
};

}  // namespace hw

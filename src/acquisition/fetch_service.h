#pragma once

namespace hw {

struct ReportStore;

// How the main loop starts fetches and takes their results over; the fetch worker implements
// it, tests use recording fakes.
class FetchService {
 public:
  virtual ~FetchService() = default;
  // Starts one worker thread and returns at once; the worker does nothing when FetchStatus is
  // not FetchIdle.
  virtual void StartFetchWorker() = 0;
  // Called by the loop after it saw FetchDone and before it hands the status word back: the
  // worker's report stores, for the display to take over.
  virtual const ReportStore& Result() = 0;
  // Aborts a running transfer and waits for the worker to end.
  virtual void Shutdown() = 0;
};

}  // namespace hw

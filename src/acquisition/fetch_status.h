#pragma once

#include <atomic>
#include <string>

namespace hw {

// The fetch worker's result word: idle and running while no result is pending, then the
// result of the last fetch until the main loop has taken it over. The numbers are the ones
// the debug overlay and the event log show.
enum class FetchStatusValue : int {
  FetchIdle = 0,
  FetchRunning = 1,
  FetchDone = 2,
  FetchUnchanged = 3,
  FetchOpenFailed = -1,
  FetchBadBody = -2,
  FetchUrlFailed = -3,
};
using enum FetchStatusValue;

// What the worker and the main loop share. The worker claims a run by a compare-and-swap from
// FetchIdle to FetchRunning and publishes its result last (release); the loop reads NewestId
// and the worker's stores only after it has seen a final result (acquire), and hands the word
// back by storing FetchIdle (release). LastShownId is written by the loop only while it holds
// a result, and read by the worker only while it owns a run.
struct FetchShared {
  std::atomic<FetchStatusValue> FetchStatus{FetchIdle};
  std::atomic<int> FetchCount{0};
  std::atomic<int> NetErrorStage{0};
  std::atomic<int> LastNetError{0};
  std::u16string NewestId;
  std::u16string LastShownId;
};

}  // namespace hw

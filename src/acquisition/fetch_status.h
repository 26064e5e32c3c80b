#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "acquisition/report_source.h"

namespace hw {

// The fetch worker's result word: idle and running while no result is pending, then the
// result of the last fetch until the main loop has taken it over. The numbers are the ones
// the debug overlay and the event log show.
enum class FetchStatusValue : int {
  FetchIdle = 0,
  FetchRunning = 1,
  FetchDone = 2,
  FetchUnchanged = 3,
  FetchNoReports = 4,  // a well-formed list without any report: nothing is replaced
  FetchOpenFailed = -1,
  FetchBadBody = -2,
  FetchUrlFailed = -3,
};
using enum FetchStatusValue;

// What went wrong with the last fetch, beyond its result word, for the event log and the
// back-off of the poll schedule.
enum class FetchProblem {
  kNone,
  kNoSession,     // no HTTP session could be made
  kUnreachable,   // the address could not be opened (no answer came)
  kBrokenAnswer,  // the answer began but the transfer failed (time-out, reset, redirects)
  kShortAnswer,   // fewer body bytes came than the answer announced
  kHttpStatus,    // the answer's status is not 2xx
  kTooLarge,      // the body reached the size limit; it is cut and not used
  kNotAList,      // the body is empty or does not begin with "["
  kUnreadable,    // a list that is not empty, yet holds nothing the reader takes for a report
};

struct FetchDetail {
  ReportSource source = ReportSource::kLive;  // where the fetch read from
  FetchProblem problem = FetchProblem::kNone;
  int httpStatus = 0;          // 0 when no answer came
  int error = 0;               // the HTTP client's error code
  std::string errorText{};     // its words for it
  int redirects = 0;           // redirects followed (each one more request to the service)
  std::string finalUrl{};      // where the redirects led
  int retryAfterSeconds = -1;  // the answer's Retry-After; -1 when it gave none
  std::size_t received = 0;    // body bytes that arrived
  long long announced = -1;    // the answer's Content-Length; -1 when it gave none
  std::size_t limit = 0;       // the body size limit of the fetch
};

// What the worker and the main loop share. A run is claimed by a compare-and-swap from
// FetchIdle to FetchRunning (by the start, before the worker's thread exists), and the worker
// publishes its result last (release); the loop reads NewestId
// and the worker's stores only after it has seen a final result (acquire), and hands the word
// back by storing FetchIdle (release). Detail is written by the worker while it owns a run and
// read by the loop with the result. LastShownId is written by the loop only while it holds
// a result, and read by the worker only while it owns a run.
struct FetchShared {
  std::atomic<FetchStatusValue> FetchStatus{FetchIdle};
  std::atomic<int> FetchCount{0};
  std::atomic<int> NetErrorStage{0};
  std::atomic<int> LastNetError{0};
  std::u16string NewestId;
  std::u16string LastShownId;
  FetchDetail Detail;
};

}  // namespace hw

#pragma once

#include <string>

#include "acquisition/fetch_status.h"

namespace hw {

// The event log's line text (after its prefix) saying what really happened to a failed fetch:
// the HTTP status, the HTTP client's error code and words, the bytes that came. Empty when the
// detail names no problem.
std::u16string FetchDetailText(const FetchDetail& detail);

// The line text for a list that held no report: an empty list, or one the reader could not
// read (FetchProblem::kUnreadable).
std::u16string NoReportsText(const FetchDetail& detail);

// The line text for an answer that came after redirects, with where they led.
std::u16string RedirectedText(const FetchDetail& detail);

// The line text for fetches that wait because `address` had `requests` requests in the last
// minute; the next may go in about `seconds`.
std::u16string BudgetWaitText(const std::string& address, int requests, int seconds);

// The line text for the wait before the next fetch.
std::u16string HoldOffText(int seconds);

}  // namespace hw

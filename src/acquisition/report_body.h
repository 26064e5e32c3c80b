#pragma once

#include <string>
#include <string_view>

#include "acquisition/fetch_status.h"
#include "acquisition/report_model.h"
#include "acquisition/report_reader.h"

namespace hw {

// Reads a fetched body into the stores as a fetch does: the whitespace between tokens dropped
// (CompactJson, so a pretty-printed list reads as the compact one), the body check (not empty,
// first byte "["), the check pass against LastShownId, and for a new report the reset, the
// latest and history passes and the history sort. Returns FetchBadBody, FetchUnchanged,
// FetchDone, or FetchNoReports when the list holds no report the reader can identify (no
// "id", such as "[]"): then the stores are left as they were, so an empty answer never wipes
// what is shown.
// `body` ends at its first NUL byte, if any.
FetchStatusValue ReadReportBody(std::string_view body, ReportStore& store, std::u16string& newestId,
                                const std::u16string& lastShownId, const TimePaddings& paddings);

// Whether a body is the empty list ("[]", blanks aside), as opposed to a list that holds
// something the reader cannot take for a report.
bool IsEmptyReportList(std::string_view body);

}  // namespace hw

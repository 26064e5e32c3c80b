#pragma once

#include <ctime>
#include <string>

#include "acquisition/fetch_status.h"
#include "acquisition/report_model.h"
#include "acquisition/report_reader.h"

namespace hw {

// The copy of the last live report list that a run keeps (the fetch worker writes it whole
// with every live list that replaces the picture), read back at the next start so that the
// picture shows what was known until the service answers.
struct LastKnownList {
  bool read = false;       // the copy held a report and is in the store
  std::tm received{};      // when it was written: when that list was received
  std::u16string problem;  // why nothing was read, for the event log; empty when read
};

// Reads `path` into `store` as a fetch would read it. A missing, unreadable or empty copy
// leaves the store as it was and says why.
LastKnownList ReadLastKnownList(const std::u16string& path, ReportStore& store,
                                const TimePaddings& paddings);

}  // namespace hw

#pragma once

namespace hw {

// Where a report list came from: the live service, its sandbox, a demo file, or the copy of
// the last live list that an earlier run kept.
enum class ReportSource { kLive, kSandbox, kDemo, kLastKnown };

}  // namespace hw

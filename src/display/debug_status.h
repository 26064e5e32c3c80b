#pragma once

#include <string_view>

#include "display/compose_inputs.h"

namespace hw {

// The two passes of the tables and status lines: pass A draws into pages 0 and 1, pass B into
// pages 2 and 3.
enum class ComposePass { kA, kB };

// The first canvas page of a pass.
constexpr int FirstPageOf(ComposePass pass) {
  return pass == ComposePass::kA ? 0 : 2;
}

// The name of a report type 0..6 on the status lines ("不明" for any other value).
std::u16string_view StageLabel(int issueType);

// With [Flag] Debug set, three status lines at the bottom of the pass's two pages: the
// epicentre's coordinates, the report type with the last unknown point name, and the point
// counts. Leaves the canvas with the debug font and white text.
void DrawDebugStatus(ComposeInputs& in, ComposePass pass, std::u16string_view unknownPointName);

}  // namespace hw

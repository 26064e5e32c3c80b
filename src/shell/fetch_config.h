#pragma once

#include "acquisition/fetch_worker.h"

namespace hw {

struct AppContext;

// The fetch worker's view of the settings at this moment. The API base addresses come from
// [Net] of the settings file unless HERONWATCH_API_BASE / HERONWATCH_SANDBOX_BASE are set.
FetchConfig MakeFetchConfig(const AppContext& context);

}  // namespace hw

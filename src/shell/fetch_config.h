#pragma once

#include <string>

#include "acquisition/fetch_worker.h"
#include "refdata/station_json_dl.h"

namespace hw {

struct AppContext;

// The address in the environment variable `name` when it is set and not empty, else the one
// from the settings file.
std::string EnvironmentOr(const char* name, const std::u16string& fallback);

// The fetch worker's view of the settings at this moment. The API base addresses come from
// [Net] of the settings file unless HERONWATCH_API_BASE / HERONWATCH_SANDBOX_BASE are set.
FetchConfig MakeFetchConfig(const AppContext& context);

// The station list refresh's view of the settings: [Config] StaJson, the working folder and
// the agency's host from [Net] StationHost or HERONWATCH_STATION_BASE.
StationRefreshConfig MakeStationRefreshConfig(const AppContext& context);

}  // namespace hw

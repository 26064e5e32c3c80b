#pragma once

#include <string>

#include "acquisition/report_source.h"

namespace hw {

struct AppContext;

// The data source in use: the demo, the sandbox or the live service.
ReportSource SourceInUse(const AppContext& context);

// The base address of the service in use (live or sandbox), as the report fetch has it.
std::string ApiBaseInUse(const AppContext& context);

}  // namespace hw

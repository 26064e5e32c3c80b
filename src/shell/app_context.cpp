#include "shell/app_context.h"

namespace hw {

AppContext::AppContext() : reports(std::make_unique<ReportStore>()) {
  fonts.fill(kNoFont);
}

}  // namespace hw

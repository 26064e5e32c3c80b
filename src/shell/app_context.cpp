#include "shell/app_context.h"

namespace hw {

AppContext::AppContext()
    : reference(std::make_unique<ReferenceTables>()), reports(std::make_unique<ReportStore>()) {
  fonts.fill(kNoFont);
}

}  // namespace hw

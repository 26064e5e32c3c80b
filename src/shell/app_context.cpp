#include "shell/app_context.h"

namespace hw {

AppContext::AppContext() = default;

}  // namespace hw

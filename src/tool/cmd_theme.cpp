#include <cstdio>

#include "tool/commands.h"

namespace hw::tool {

int RunTheme(const Arguments&) {
  std::fputs("heronwatch-tool: 'theme' is not available yet\n", stderr);
  return 1;
}

}  // namespace hw::tool

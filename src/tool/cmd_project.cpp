#include <cstdio>

#include "tool/commands.h"

namespace hw::tool {

int RunProject(const Arguments&) {
  std::fputs("heronwatch-tool: 'project' is not available yet\n", stderr);
  return 1;
}

}  // namespace hw::tool

#include <cstdio>

#include "tool/commands.h"

namespace hw::tool {

int RunResolve(const Arguments&) {
  std::fputs("heronwatch-tool: 'resolve' is not available yet\n", stderr);
  return 1;
}

}  // namespace hw::tool

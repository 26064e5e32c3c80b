#include <cstdio>

#include "tool/commands.h"

namespace hw::tool {

int RunParse(const Arguments&) {
  std::fputs("heronwatch-tool: 'parse' is not available yet\n", stderr);
  return 1;
}

}  // namespace hw::tool

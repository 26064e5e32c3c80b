// heronwatch-tool project: where a latitude and longitude fall on the base map of Japan.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "refdata/map_grid.h"
#include "refdata/project_to_grid.h"
#include "tool/commands.h"

namespace hw::tool {
namespace {

int Usage() {
  std::fputs("usage: heronwatch-tool project LAT LON\n", stderr);
  return 2;
}

// The whole argument as a decimal number; false for anything else.
bool ReadNumber(std::string_view text, double& value) {
  const std::string copy(text);
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  return !copy.empty() && end == copy.c_str() + copy.size();
}

}  // namespace

// Prints "gx gy": the grid position ProjectToGrid gives, as markers are placed.
int RunProject(const Arguments& args) {
  double latitude = 0.0;
  double longitude = 0.0;
  if (args.size() != 2 || !ReadNumber(args[0], latitude) || !ReadNumber(args[1], longitude))
    return Usage();
  MapGrid grid;
  BuildMapGrid(grid);
  const GridPosition p = ProjectToGrid(grid, latitude, longitude);
  std::printf("%d %d\n", p.gx, p.gy);
  return 0;
}

}  // namespace hw::tool

// heronwatch-tool project: where a latitude and longitude fall on the base map of Japan.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "refdata/map_grid.h"
#include "refdata/project_to_grid.h"
#include "tool/commands.h"

namespace hw::tool {
namespace {

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
  if (!ReadNumber(args.arguments[0], latitude) || !ReadNumber(args.arguments[1], longitude)) {
    std::fputs("heronwatch-tool project: LAT and LON must be decimal numbers\n", stderr);
    return 2;
  }
  MapGrid grid;
  BuildMapGrid(grid);
  const GridPosition p = ProjectToGrid(grid, latitude, longitude);
  std::printf("%d %d\n", p.gx, p.gy);
  return 0;
}

}  // namespace hw::tool

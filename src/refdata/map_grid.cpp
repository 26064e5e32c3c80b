#include "refdata/map_grid.h"

namespace hw {

void BuildMapGrid(MapGrid& grid) {
  grid.nodes = kMapGridNodes;
}

}  // namespace hw

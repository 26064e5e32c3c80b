#pragma once

#include "refdata/area_table.h"
#include "refdata/map_grid.h"
#include "refdata/reference_records.h"

namespace hw {

// Every reference table the program holds for its whole run: the built-in ones (rebuilt on
// each reload) and the three read from the Setting folder. They start zeroed and empty.
struct ReferenceTables {
  MapGrid mapGrid;
  AreaTable areas;
  AreaPrefectureTable areaPrefectures;
  AreaInfoTable areaInfo;
  StationTable stations;
  LandAreaTable landAreas;
};

}  // namespace hw

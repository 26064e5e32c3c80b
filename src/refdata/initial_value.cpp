#include "refdata/initial_value.h"

#include "refdata/reference_files.h"

namespace hw {

void CInitalValue::BuildMapGrid() {
  hw::BuildMapGrid(tables_.mapGrid);
}

void CInitalValue::BuildAreaTable() {
  hw::BuildAreaTable(tables_.areas);
}

void CInitalValue::BuildAreaPrefectureTable() {
  hw::BuildAreaPrefectureTable(tables_.areaPrefectures);
}

void CInitalValue::LoadAreaInfo() {
  LoadAreaInfoFile(workingFolder_.AreaInfoFile(), tables_.areaInfo);
}

void CInitalValue::LoadStations() {
  LoadStationFile(workingFolder_.LoadedStationsFile(), tables_.stations);
}

void CInitalValue::LoadLandArea() {
  LoadLandAreaFile(workingFolder_.LandAreaFile(), tables_.landAreas);
}

void CInitalValue::ListThemes() {
  for (auto& name : themes_.names) {
    name.Clear();
  }
  ScanThemeFolders(workingFolder_, themes_);
}

void ReloadReferenceData(ReferenceTables& tables, ThemeList& themes,
                         const WorkFolderLayout& workingFolder) {
  CInitalValue loader(tables, themes, workingFolder);
  loader.BuildMapGrid();
  loader.BuildAreaTable();
  loader.LoadAreaInfo();
  loader.LoadStations();
  loader.LoadLandArea();
  loader.BuildAreaPrefectureTable();
  loader.ListThemes();
}

}  // namespace hw

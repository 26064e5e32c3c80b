#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/work_folder_layout.h"
#include "refdata/reference_tables.h"
#include "refdata/theme_catalogue.h"

namespace hw {

// The reference-data loader. It owns no data: its operations rebuild the built-in tables,
// read the three files of the "Setting" folder (the user's copies, else the shipped ones) into
// the shared tables and rescan the theme folders.
class CInitalValue {
 public:
  CInitalValue(ReferenceTables& tables, ThemeList& themes, WorkFolderLayout workingFolder)
      : tables_(tables), themes_(themes), workingFolder_(std::move(workingFolder)) {}

  void BuildMapGrid();
  void BuildAreaTable();
  void BuildAreaPrefectureTable();
  void LoadAreaInfo();
  void LoadStations();
  void LoadLandArea();
  // Blanks every theme name (the count stays) and rescans the theme folders; when neither
  // folder of theme folders can be listed the names stay blank.
  void ListThemes();

 private:
  ReferenceTables& tables_;
  ThemeList& themes_;
  WorkFolderLayout workingFolder_;
};

// The whole reload, at start-up and on F5: grid, areas, the three files, prefectures, themes.
// The renderers' working fields (observedScale, maxScale) keep their values.
void ReloadReferenceData(ReferenceTables& tables, ThemeList& themes,
                         const WorkFolderLayout& workingFolder);

}  // namespace hw

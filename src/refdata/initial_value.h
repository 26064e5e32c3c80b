#pragma once

#include <string>
#include <string_view>

#include "refdata/reference_tables.h"
#include "refdata/theme_catalogue.h"

namespace hw {

// The reference-data loader. It owns no data: its operations rebuild the built-in tables,
// read the three files of WorkingFolder + "\Setting" into the shared tables and rescan the
// theme folders.
class CInitalValue {
 public:
  CInitalValue(ReferenceTables& tables, ThemeList& themes, std::u16string_view workingFolder)
      : tables_(tables), themes_(themes), workingFolder_(workingFolder) {}

  void BuildMapGrid();
  void BuildAreaTable();
  void BuildAreaPrefectureTable();
  void LoadAreaInfo();
  void LoadStations();
  void LoadLandArea();
  // Blanks every theme name (the count stays) and rescans WorkingFolder + "\Theme\"; when the
  // folder cannot be listed the names stay blank.
  void ListThemes();

 private:
  ReferenceTables& tables_;
  ThemeList& themes_;
  std::u16string workingFolder_;
};

// The whole reload, at start-up and on F5: grid, areas, the three files, prefectures, themes.
// The renderers' working fields (observedScale, maxScale) keep their values.
void ReloadReferenceData(ReferenceTables& tables, ThemeList& themes,
                         std::u16string_view workingFolder);

}  // namespace hw

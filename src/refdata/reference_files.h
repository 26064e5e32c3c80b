#pragma once

#include <string_view>

#include "refdata/reference_records.h"

namespace hw {

// The line handlers of the three reference files. Text is taken verbatim (no trimming, no
// quoting); names longer than 15 characters are cut to their field. Numbers are read as the
// runtime library reads them: leading blanks skipped, the longest valid prefix, 0 if none.

// AreaInfo.ini: place name, tab, area index. Everything after the first tab is the number's
// text; without any, areaIndex keeps its value.
void ReadAreaInfoLine(std::u16string_view line, AreaInfoEntry& entry);

// Stations.ini: name, latitude, longitude, prefecture number, then columns that are ignored.
// An empty or missing column leaves its field as it was.
void ReadStationLine(std::u16string_view line, StationRecord& record);

// LandArea.ini: name, replacement (empty when missing); anything after a second tab is ignored.
void ReadLandAreaLine(std::u16string_view line, LandAreaEntry& entry);

// Read one file each into its table, from entry 0, and set the table's count (0 when the
// file cannot be read) and how many overlong lines were skipped. Lines beyond the table's
// capacity are not read.
void LoadAreaInfoFile(std::u16string_view path, AreaInfoTable& table);
void LoadStationFile(std::u16string_view path, StationTable& table);
void LoadLandAreaFile(std::u16string_view path, LandAreaTable& table);

}  // namespace hw

#include "refdata/point_resolution.h"

#include "refdata/area_table.h"

namespace hw {

std::u16string ApplyPlaceNameFix(std::u16string_view name, std::span<const PlaceNameFixRow> rows) {
  std::u16string fixed(name);
  for (const PlaceNameFixRow& row : rows) {
    if (fixed == row.from) fixed = row.to;
  }
  return fixed;
}

std::optional<int> FindAreaInfoEntry(const AreaInfoTable& areaInfo, std::u16string_view placeName,
                                     std::span<const IslandExclusionPair> exclusions) {
  for (int i = 0; i < areaInfo.count; ++i) {
    const AreaInfoEntry& entry = areaInfo[i];
    const std::u16string_view entryName = entry.name.View();
    // An empty name is a prefix of every name: a blank line would claim all points after it
    // for whatever area index it holds. And an index outside AreaTable leads nowhere.
    if (entryName.empty() || !IsAreaIndex(entry.areaIndex)) continue;
    if (!placeName.starts_with(entryName)) continue;
    bool excluded = false;
    for (const IslandExclusionPair& pair : exclusions) {
      excluded = excluded || (entryName == pair.entryName && placeName == pair.placeName);
    }
    if (!excluded) return i;
  }
  return std::nullopt;
}

PointResolution ResolvePoint(std::u16string_view name, const ReferenceTables& tables) {
  PointResolution result;
  result.station = FindStation(tables.stations, name);
  result.placeName = ApplyPlaceNameFix(name);
  result.areaInfo = FindAreaInfoEntry(tables.areaInfo, result.placeName, IslandExclusion);
  return result;
}

}  // namespace hw

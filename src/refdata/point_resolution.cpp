#include "refdata/point_resolution.h"

#include <algorithm>

#include "refdata/area_table.h"

namespace hw {

std::u16string ApplyPlaceNameFix(std::u16string_view name, std::span<const PlaceNameFixRow> rows) {
  std::u16string fixed(name);
  for (const PlaceNameFixRow& row : rows) {
    if (fixed == row.from) fixed = row.to;
  }
  return fixed;
}

namespace {

bool Excluded(std::u16string_view entryName, std::u16string_view placeName,
              std::span<const IslandExclusionPair> exclusions) {
  for (const IslandExclusionPair& pair : exclusions) {
    if (entryName == pair.entryName && placeName == pair.placeName) return true;
  }
  return false;
}

}  // namespace

std::optional<int> FindAreaInfoEntry(const AreaInfoTable& areaInfo, std::u16string_view placeName,
                                     std::span<const IslandExclusionPair> exclusions) {
  if (areaInfo.names.Covers(areaInfo)) {
    // Every prefix of the name that names a place; the first of those places in file order
    // wins. An exclusion is by name, so it leaves out every entry of that name.
    std::optional<int> first;
    const std::size_t longest = std::min(placeName.size(), areaInfo.names.Longest());
    for (std::size_t length = 1; length <= longest; ++length) {
      const std::u16string_view prefix = placeName.substr(0, length);
      const std::optional<int> entry = areaInfo.names.Find(prefix);
      if (!entry || (first && *first < *entry)) continue;
      if (!Excluded(prefix, placeName, exclusions)) first = entry;
    }
    return first;
  }
  for (int i = 0; i < areaInfo.count; ++i) {
    const AreaInfoEntry& entry = areaInfo[i];
    const std::u16string_view entryName = entry.name.View();
    // An empty name is a prefix of every name: a blank line would claim all points after it
    // for whatever area index it holds. And an index outside AreaTable leads nowhere.
    if (entryName.empty() || !IsAreaIndex(entry.areaIndex)) continue;
    if (!placeName.starts_with(entryName)) continue;
    if (!Excluded(entryName, placeName, exclusions)) return i;
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

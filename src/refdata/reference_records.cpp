#include "refdata/reference_records.h"

#include "refdata/area_table.h"

namespace hw {

void IndexNames(StationTable& stations) {
  stations.names.Build(stations, [](const StationRecord&) { return true; });
}

void IndexNames(AreaInfoTable& areaInfo) {
  areaInfo.names.Build(areaInfo, [](const AreaInfoEntry& entry) {
    return !entry.name.View().empty() && IsAreaIndex(entry.areaIndex);
  });
}

std::optional<int> FindStation(const StationTable& stations, std::u16string_view name) {
  if (stations.names.Covers(stations)) return stations.names.Find(name);
  for (int i = 0; i < stations.count; ++i) {
    if (stations[i].name == name) return i;
  }
  return std::nullopt;
}

std::u16string RenameLandArea(const LandAreaTable& landAreas, std::u16string_view name) {
  std::u16string current(name);
  for (int i = 0; i < landAreas.count; ++i) {
    if (landAreas[i].from == current) current = landAreas[i].to.View();
  }
  return current;
}

}  // namespace hw

#include "refdata/reference_records.h"

namespace hw {

std::optional<int> FindStation(const StationTable& stations, std::u16string_view name) {
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

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/fixed_text.h"
#include "refdata/name_index.h"

namespace hw {

// One line of AreaInfo.ini: a place name that observation point names begin with, and the
// index of its area in AreaTable. maxScale belongs to the city table; loading never touches it.
struct AreaInfoEntry {
  FixedText<16> name;
  std::int32_t maxScale = 0;
  std::int32_t areaIndex = 0;
};

// One line of Stations.ini. observedScale belongs to the renderers; loading never touches it.
struct StationRecord {
  FixedText<16> name;
  std::int32_t observedScale = 0;
  double latitude = 0.0;
  double longitude = 0.0;
  std::int32_t prefNumber = 0;
};

// One line of LandArea.ini: a name and the name that replaces it.
struct LandAreaEntry {
  FixedText<16> from;
  FixedText<16> to;
};

// A table read from a reference file: entry i is line i of the file; entries from `count` on
// keep whatever an earlier load left there and are never read.
template <typename Entry, int Capacity>
struct ReferenceTable {
  static constexpr int kCapacity = Capacity;
  std::array<Entry, Capacity> entries{};
  int count = 0;
  int skippedLongLines = 0;  // lines of 1000 bytes or more the last load skipped

  const Entry& operator[](int index) const { return entries[static_cast<std::size_t>(index)]; }
  Entry& operator[](int index) { return entries[static_cast<std::size_t>(index)]; }
};

// The two tables that points are looked up in by name carry an index of their names, which the
// loaders rebuild (see NameIndex).
struct AreaInfoTable : ReferenceTable<AreaInfoEntry, 2000> {
  NameIndex names;
};
struct StationTable : ReferenceTable<StationRecord, 5000> {
  NameIndex names;
};
using LandAreaTable = ReferenceTable<LandAreaEntry, 100>;

// Rebuilds a table's name index after it was read. AreaInfo entries with an empty name or an
// area index outside AreaTable name no place and are left out.
void IndexNames(StationTable& stations);
void IndexNames(AreaInfoTable& areaInfo);

// The first station, in file order, whose name equals `name` exactly.
std::optional<int> FindStation(const StationTable& stations, std::u16string_view name);

// Walks the rows in file order; each row whose `from` equals the current name replaces it
// with its `to`, and later rows see the replaced name.
std::u16string RenameLandArea(const LandAreaTable& landAreas, std::u16string_view name);

}  // namespace hw

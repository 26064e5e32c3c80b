#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "acquisition/fixed_text.h"

namespace hw {

// One earthquake-information area: its code, its name and the point where its intensity mark
// is placed. observedScale belongs to the renderers; the build never touches it.
struct AreaEntry {
  std::int32_t code = 0;
  FixedText<14> name;
  std::int32_t observedScale = 0;
  double latitude = 0.0;
  double longitude = 0.0;
};

// The 188 areas in their fixed order; an area's position here (its area index) is the key
// that AreaPrefectureTable and the second column of AreaInfo.ini refer to.
struct AreaTable {
  static constexpr int kCount = 188;
  std::array<AreaEntry, kCount> entries{};

  const AreaEntry& operator[](int index) const { return entries[static_cast<std::size_t>(index)]; }
  AreaEntry& operator[](int index) { return entries[static_cast<std::size_t>(index)]; }
};

// The prefecture of each area, by area index.
struct AreaPrefectureTable {
  std::array<FixedText<30>, AreaTable::kCount> names{};

  std::u16string_view operator[](int index) const {
    return names[static_cast<std::size_t>(index)].View();
  }
};

constexpr bool IsAreaIndex(int index) {
  return index >= 0 && index < AreaTable::kCount;
}

// Writes code, name and representative point of every area; observedScale keeps its value so
// that a reload does not disturb a composition's intensities.
void BuildAreaTable(AreaTable& table);

// Writes the prefecture name of every area.
void BuildAreaPrefectureTable(AreaPrefectureTable& table);

// The index of the area whose name equals `name` exactly (as stored: full-width digits and
// "・" included), or nullopt.
std::optional<int> FindAreaByName(const AreaTable& table, std::u16string_view name);

}  // namespace hw

#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "refdata/reference_records.h"
#include "refdata/reference_tables.h"

namespace hw {

// A point name that names no municipality (airports, island districts named after their
// villages) and the place it belongs to.
struct PlaceNameFixRow {
  std::u16string_view from;
  std::u16string_view to;
};

// Applied in this order by exact match; each row sees the result of the rows before it.
inline constexpr PlaceNameFixRow PlaceNameFix[] = {
    {u"薩摩川内市上甑町", u"薩摩川内市甑島"},
    {u"薩摩川内市下甑町手打", u"薩摩川内市甑島"},
    {u"薩摩川内市下甑町青瀬", u"薩摩川内市甑島"},
    {u"佐世保市宇久町", u"佐世保市宇久島"},
    {u"松山市中島大浦", u"松山市中島"},
    {u"萩市見島宇津", u"萩市見島"},
    {u"尾道市向島町", u"尾道市向島"},
    {u"新千歳空港", u"千歳市"},
    {u"仙台空港", u"名取市"},
    {u"成田国際空港", u"成田市"},
    {u"東京国際空港", u"東京大田区"},
    {u"新潟空港", u"新潟東区"},
    {u"中部国際空港", u"常滑市"},
    {u"大阪国際空港", u"豊中市"},
    {u"関西国際空港", u"田尻町"},
    {u"広島空港", u"三原市"},
    {u"高松空港", u"高松市"},
    {u"福岡空港", u"福岡博多区"},
    {u"鹿児島空港", u"霧島市"},
    {u"那覇空港", u"那覇市"},
};

// The same fixes for the city tables' municipality list, without the two rows that map
// "松山市中島大浦" and "尾道市向島町" (the list keeps those names as they are).
inline constexpr auto PlaceNameFixShort = [] {
  std::array<PlaceNameFixRow, std::size(PlaceNameFix) - 2> rows{};
  std::size_t n = 0;
  for (const PlaceNameFixRow& row : PlaceNameFix) {
    if (row.from != u"松山市中島大浦" && row.from != u"尾道市向島町") rows[n++] = row;
  }
  return rows;
}();

// An AreaInfo place name that must not claim a place name equal to `placeName`: the island
// belongs to a place of its own, which may lie in another area.
struct IslandExclusionPair {
  std::u16string_view entryName;
  std::u16string_view placeName;
};

inline constexpr IslandExclusionPair IslandExclusion[] = {
    {u"薩摩川内市", u"薩摩川内市甑島"}, {u"佐世保市", u"佐世保市宇久島"},
    {u"酒田市", u"酒田市飛島"},         {u"輪島市", u"輪島市舳倉島"},
    {u"松山市", u"松山市中島"},         {u"萩市", u"萩市見島"},
    {u"尾道市", u"尾道市向島"},
};

// The name after every row of `rows`, in order.
std::u16string ApplyPlaceNameFix(std::u16string_view name,
                                 std::span<const PlaceNameFixRow> rows = PlaceNameFix);

// The first AreaInfo entry, in file order, whose place name begins `placeName`, skipping an
// entry when (its name, placeName) is one of `exclusions`. An entry with an empty name (a blank
// line) or with an area index outside AreaTable names no place and never matches.
std::optional<int> FindAreaInfoEntry(const AreaInfoTable& areaInfo, std::u16string_view placeName,
                                     std::span<const IslandExclusionPair> exclusions);

// Where an observation point of a detailed report belongs.
struct PointResolution {
  std::optional<int> station;   // index in StationTable of the station of that exact name
  std::u16string placeName;     // the point name after PlaceNameFix
  std::optional<int> areaInfo;  // index in AreaInfoTable of the place that claims placeName
};

// Resolves a point name as the map layer does for detailed reports: the station by exact
// name, then the place by the fixed name with IslandExclusion.
PointResolution ResolvePoint(std::u16string_view name, const ReferenceTables& tables);

}  // namespace hw

#include "display/municipality_list.h"

#include <algorithm>
#include <span>

#include "refdata/point_resolution.h"

namespace hw {
namespace {

constexpr IslandExclusionPair kPassAIslands[] = {
    {u"薩摩川内市", u"薩摩川内市甑島"},
    {u"佐世保市", u"佐世保市宇久島"},
};
constexpr IslandExclusionPair kPassBIslands[] = {
    {u"薩摩川内市", u"薩摩川内市甑島"},
    {u"佐世保市", u"佐世保市宇久島"},
    {u"酒田市", u"酒田市飛島"},
    {u"輪島市", u"輪島市舳倉島"},
    {u"萩市", u"萩市見島"},
};

// The intensity below `scale` in the walk 70 → 60 → … → 10; none after 10 or off the walk.
int NextLower(int scale) {
  constexpr int kWalk[] = {70, 60, 55, 50, 45, 40, 30, 20, 10};
  for (std::size_t i = 0; i + 1 < std::size(kWalk); ++i) {
    if (kWalk[i] == scale) return kWalk[i + 1];
  }
  return 0;
}

}  // namespace

void BuildMunicipalityList(ComposeInputs& in, ComposePass pass) {
  LatestReport& report = in.reports.latest;
  if (report.issueType != DetailScale) return;
  ReferenceTables& tables = in.reference;
  AreaInfoTable& places = tables.areaInfo;
  for (int i = 0; i < places.count; ++i) {
    places[i].maxScale = 0;
  }

  const std::span<const IslandExclusionPair> islands =
      pass == ComposePass::kA ? std::span<const IslandExclusionPair>(kPassAIslands)
                              : std::span<const IslandExclusionPair>(kPassBIslands);
  const int points = std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
  for (int i = 0; i < points; ++i) {
    const ObservationPoint& point = report.points[static_cast<std::size_t>(i)];
    std::u16string name(point.addr.View());
    if (pass == ComposePass::kB) name = RenameLandArea(tables.landAreas, name);
    name = ApplyPlaceNameFix(name, PlaceNameFixShort);
    if (const std::optional<int> place = FindAreaInfoEntry(places, name, islands)) {
      int& strongest = places[*place].maxScale;
      strongest = std::max(strongest, point.scale);
    }
  }
  if (report.maxScale <= 0) return;

  int count = 0;
  report.MaxScalePointCount = 0;
  for (int scale = report.maxScale; scale != 0; scale = NextLower(scale)) {
    for (int i = 0; i < places.count && count < LatestReport::kMaxPoints; ++i) {
      const AreaInfoEntry& place = places[i];
      if (place.maxScale != scale || !IsAreaIndex(place.areaIndex)) continue;
      ObservationPoint& point = report.points[static_cast<std::size_t>(count++)];
      point.addr.Assign(place.name.View());
      point.pref.Assign(tables.areaPrefectures[place.areaIndex]);
      point.scale = scale;
      if (scale == report.maxScale) ++report.MaxScalePointCount;
    }
  }
  report.pointCount = count;
}

}  // namespace hw

// The reference files shipped in runtime/Setting, loaded and used by the program's own code.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "refdata/initial_value.h"
#include "refdata/point_resolution.h"

namespace hw {
namespace {

struct ExpectedStation {
  std::u16string name;
  int areaIndex;
};

// station_areas.tsv: every station of JMA's list with the area JMA assigns it, written by
// tools/refdata/make_reference_files.py together with the runtime files.
std::vector<ExpectedStation> ExpectedStations() {
  std::ifstream in(HW_FIXTURE_DIR "/refdata/station_areas.tsv", std::ios::binary);
  std::vector<ExpectedStation> stations;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    stations.push_back({Utf8ToUtf16(line.substr(0, tab)), std::stoi(line.substr(tab + 1))});
  }
  return stations;
}

TEST(RuntimeReferenceData, EveryStationResolvesToItsArea) {
  const auto tables = std::make_unique<ReferenceTables>();
  ThemeList themes;
  ReloadReferenceData(*tables, themes, WorkFolderLayout(u"" HW_FIXTURE_DIR "/../../runtime"));
  const std::vector<ExpectedStation> expected = ExpectedStations();
  ASSERT_EQ(expected.size(), 4372u);
  ASSERT_EQ(tables->stations.count, 4372);
  EXPECT_LE(tables->areaInfo.count, AreaInfoTable::kCapacity);
  EXPECT_EQ(tables->landAreas.count, 0);

  int resolved = 0;
  for (const ExpectedStation& station : expected) {
    const PointResolution r = ResolvePoint(station.name, *tables);
    const bool found =
        r.station && r.areaInfo && tables->areaInfo[*r.areaInfo].areaIndex == station.areaIndex;
    EXPECT_TRUE(found) << Utf16ToUtf8(station.name) << " → " << Utf16ToUtf8(r.placeName);
    resolved += found ? 1 : 0;
  }
  std::printf("%d of %zu stations resolve to their area\n", resolved, expected.size());

  // The station coordinates lie on the map of Japan.
  for (int i = 0; i < tables->stations.count; ++i) {
    const StationRecord& s = tables->stations[i];
    EXPECT_TRUE(s.latitude > 24.0 && s.latitude < 46.0 && s.longitude > 122.0 &&
                s.longitude < 146.0 && s.prefNumber >= 1 && s.prefNumber <= 47)
        << Utf16ToUtf8(s.name.View());
  }
}

// The name indexes the loaders build find what a scan of the tables finds, for every station
// name and every name the city tables look up (land-area renames and island exclusions
// included), and a name that is only a prefix of a place finds nothing.
TEST(RuntimeReferenceData, NameIndexesFindWhatAScanFinds) {
  const auto tables = std::make_unique<ReferenceTables>();
  ThemeList themes;
  ReloadReferenceData(*tables, themes, WorkFolderLayout(u"" HW_FIXTURE_DIR "/../../runtime"));
  ASSERT_TRUE(tables->stations.names.Covers(tables->stations));
  ASSERT_TRUE(tables->areaInfo.names.Covers(tables->areaInfo));
  // Copies whose indexes describe other storage, so that their lookups scan.
  const auto scanned = std::make_unique<ReferenceTables>(*tables);
  ASSERT_FALSE(scanned->areaInfo.names.Covers(scanned->areaInfo));

  std::vector<std::u16string> names;
  for (const ExpectedStation& station : ExpectedStations())
    names.push_back(station.name);
  for (const PlaceNameFixRow& row : PlaceNameFix)
    names.emplace_back(row.to);
  for (const IslandExclusionPair& pair : IslandExclusion)
    names.emplace_back(pair.placeName);
  for (const std::u16string_view extra : {u"", u"東", u"東京", u"札幌市中央区", u"ＸＹＺ"})
    names.emplace_back(extra);
  for (const std::u16string& name : names) {
    SCOPED_TRACE(Utf16ToUtf8(name));
    EXPECT_EQ(FindStation(tables->stations, name), FindStation(scanned->stations, name));
    for (const std::span<const IslandExclusionPair> islands :
         {std::span<const IslandExclusionPair>(IslandExclusion),
          std::span<const IslandExclusionPair>()}) {
      EXPECT_EQ(FindAreaInfoEntry(tables->areaInfo, name, islands),
                FindAreaInfoEntry(scanned->areaInfo, name, islands));
    }
  }
}

}  // namespace
}  // namespace hw

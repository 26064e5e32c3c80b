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

}  // namespace
}  // namespace hw

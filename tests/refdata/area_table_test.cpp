#include "refdata/area_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "platform/text_codec.h"

namespace hw {
namespace {

struct BuiltTables {
  AreaTable areas;
  AreaPrefectureTable prefectures;
  BuiltTables() {
    BuildAreaTable(areas);
    BuildAreaPrefectureTable(prefectures);
  }
};

TEST(AreaTable, EntriesStandWhereAreaInfoExpectsThem) {
  struct Case {
    int index;
    int code;
    std::u16string_view name;
    std::u16string_view prefecture;
    double latitude;
    double longitude;
  };
  const Case cases[] = {
      {0, 100, u"石狩地方北部", u"北海道", 43.38, 141.54},
      {37, 167, u"根室地方南部", u"北海道", 43.40, 145.68},
      {38, 200, u"青森県津軽北部", u"青森県", 40.92, 140.60},
      {72, 350, u"東京都２３区", u"東京都", 35.71, 139.76},
      {75, 354, u"神津島", u"東京都", 34.24, 139.18},
      {93, 411, u"山梨県中・西部", u"山梨県", 35.68, 138.58},
      {120, 540, u"奈良県", u"奈良県", 34.34, 135.92},
      {134, 700, u"山口県北部", u"山口県", 34.38, 131.39},
      {137, 704, u"山口県中部", u"山口県", 34.14, 131.70},
      {138, 600, u"徳島県北部", u"徳島県", 34.02, 134.24},
      {167, 753, u"大分県西部", u"大分県", 33.24, 131.14},
      {187, 807, u"沖縄県西表島", u"沖縄県", 24.28, 123.88},
  };
  const BuiltTables built;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(built.areas[c.index].code, c.code);
    EXPECT_EQ(built.areas[c.index].name, c.name);
    EXPECT_EQ(built.areas[c.index].latitude, c.latitude);
    EXPECT_EQ(built.areas[c.index].longitude, c.longitude);
    EXPECT_EQ(built.prefectures[c.index], c.prefecture);
  }
}

// jma_areas.tsv holds JMA's own list of the areas (code, name, prefecture), taken from its
// code table by tools/refdata/make_reference_files.py.
TEST(AreaTable, AgreesWithTheJmaCodeTable) {
  std::ifstream in(HW_FIXTURE_DIR "/refdata/jma_areas.tsv", std::ios::binary);
  ASSERT_TRUE(in) << "fixture missing";
  std::map<int, std::pair<std::u16string, std::u16string>> jma;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string code, name, prefecture;
    std::getline(fields, code, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, prefecture, '\t');
    jma[std::stoi(code)] = {Utf8ToUtf16(name), Utf8ToUtf16(prefecture)};
  }
  ASSERT_EQ(jma.size(), 188u);

  const BuiltTables built;
  std::set<int> codes;
  for (int i = 0; i < AreaTable::kCount; ++i) {
    const AreaEntry& area = built.areas[i];
    SCOPED_TRACE(area.code);
    ASSERT_TRUE(jma.count(area.code));
    EXPECT_EQ(area.name.View(), jma[area.code].first);
    EXPECT_EQ(built.prefectures[i], jma[area.code].second);
    codes.insert(area.code);
    // Every representative point lies in Japan: a swapped or mistyped coordinate would not.
    EXPECT_TRUE(area.latitude >= 24.0 && area.latitude <= 46.0) << area.latitude;
    EXPECT_TRUE(area.longitude >= 122.0 && area.longitude <= 146.0) << area.longitude;
  }
  EXPECT_EQ(codes.size(), 188u);
}

TEST(AreaTable, FindsAreasByTheirExactName) {
  const BuiltTables built;
  EXPECT_EQ(FindAreaByName(built.areas, u"東京都２３区"), 72);
  EXPECT_EQ(FindAreaByName(built.areas, u"東京都23区"), std::nullopt);
  EXPECT_EQ(FindAreaByName(built.areas, u"熊本県天草・芦北"), 163);
  EXPECT_EQ(FindAreaByName(built.areas, u"奈良"), std::nullopt);
  EXPECT_EQ(FindAreaByName(built.areas, u""), std::nullopt);
}

TEST(AreaTable, RebuildingKeepsTheRenderersIntensities) {
  AreaTable areas;
  BuildAreaTable(areas);
  areas[5].observedScale = 45;
  areas[187].observedScale = 70;
  areas[5].latitude = 0.0;
  BuildAreaTable(areas);
  EXPECT_EQ(areas[5].observedScale, 45);
  EXPECT_EQ(areas[187].observedScale, 70);
  EXPECT_EQ(areas[5].latitude, 41.56);
}

}  // namespace
}  // namespace hw

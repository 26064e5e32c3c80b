#include "refdata/reference_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes/fake_http_client.h"
#include "fakes/temp_folder.h"
#include "refdata/initial_value.h"
#include "refdata/reference_data_service.h"

namespace hw {
namespace {

TEST(ReferenceFiles, StationColumns) {
  struct Case {
    std::u16string_view line;
    std::u16string_view name;
    double latitude, longitude;
    int prefNumber;
  };
  // Each line is read into a record that already holds (1.5, 2.5, 9) from an earlier load.
  const Case cases[] = {
      {u"札幌\t43.06\t141.33\t1\t0", u"札幌", 43.06, 141.33, 1},
      {u"x\t 9.50\t139.78\t01\t2\textra", u"x", 9.5, 139.78, 1},
      {u"x\t\t139.78\t13", u"x", 1.5, 139.78, 13},  // an empty column keeps the field
      {u"x\t35.1", u"x", 35.1, 2.5, 9},             // missing columns too
      {u"x", u"x", 1.5, 2.5, 9},
      {u"\t\t\t", u"", 1.5, 2.5, 9},
      {u"x\tN35\t-\t?", u"x", 0.0, 0.0, 0},  // no number gives 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    StationRecord record;
    record.latitude = 1.5;
    record.longitude = 2.5;
    record.prefNumber = 9;
    record.observedScale = 45;
    ReadStationLine(c.line, record);
    EXPECT_EQ(record.name, c.name);
    EXPECT_EQ(record.latitude, c.latitude);
    EXPECT_EQ(record.longitude, c.longitude);
    EXPECT_EQ(record.prefNumber, c.prefNumber);
    EXPECT_EQ(record.observedScale, 45);
  }
}

TEST(ReferenceFiles, AreaInfoAndLandAreaColumns) {
  struct Case {
    std::u16string_view line;
    std::u16string_view name;
    int areaIndex;  // read into an entry whose areaIndex was 7
  };
  for (const Case& c :
       {Case{u"東京千代田区\t72", u"東京千代田区", 72}, Case{u"札幌\t12\t99 more", u"札幌", 12},
        Case{u"札幌\t 5", u"札幌", 5}, Case{u"札幌", u"札幌", 7}, Case{u"札幌\t", u"札幌", 7},
        Case{u"札幌\tx", u"札幌", 0}, Case{u"", u"", 7}}) {
    AreaInfoEntry entry;
    entry.areaIndex = 7;
    entry.maxScale = 30;
    ReadAreaInfoLine(c.line, entry);
    EXPECT_EQ(entry.name, c.name);
    EXPECT_EQ(entry.areaIndex, c.areaIndex) << c.line.size();
    EXPECT_EQ(entry.maxScale, 30);
  }

  LandAreaEntry entry;
  ReadLandAreaLine(u"A\tB\tC", entry);
  EXPECT_EQ(entry.from, u"A");
  EXPECT_EQ(entry.to, u"B");
  ReadLandAreaLine(u"A", entry);
  EXPECT_EQ(entry.to, u"");
}

TEST(ReferenceFiles, LongNamesAreCutWithoutTouchingTheirNeighbours) {
  // 17 characters, and a surrogate pair that would be split at 15.
  const std::u16string_view longName = u"一二三四五六七八九十一二三四五六七";
  StationRecord record;
  ReadStationLine(std::u16string(longName) + u"\t35.00\t139.00\t13", record);
  EXPECT_EQ(record.name, longName.substr(0, 15));
  EXPECT_EQ(record.latitude, 35.0);
  EXPECT_EQ(record.prefNumber, 13);

  LandAreaEntry entry;
  ReadLandAreaLine(u"一二三四五六七八九十一二三四\U00020B9F\t" + std::u16string(longName), entry);
  EXPECT_EQ(entry.from, u"一二三四五六七八九十一二三四") << "half a pair is not kept";
  EXPECT_EQ(entry.to, longName.substr(0, 15));
}

TEST(ReferenceFiles, LandAreaRenamesInFileOrder) {
  LandAreaTable table;
  auto rows = [&table](std::initializer_list<std::u16string_view> lines) {
    table.count = 0;
    for (std::u16string_view line : lines)
      ReadLandAreaLine(line, table[table.count++]);
  };
  rows({u"A\tB", u"B\tC"});
  EXPECT_EQ(RenameLandArea(table, u"A"), u"C");
  rows({u"B\tC", u"A\tB"});
  EXPECT_EQ(RenameLandArea(table, u"A"), u"B");
  EXPECT_EQ(RenameLandArea(table, u"Z"), u"Z");
}

// A working folder with the three files, loaded the way start-up and F5 load it.
class ReferenceReload : public testing::Test {
 protected:
  void Reload() { ReloadReferenceData(*tables, themes, WorkFolderLayout(folder.U16())); }

  test::TempFolder folder;
  std::unique_ptr<ReferenceTables> tables = std::make_unique<ReferenceTables>();
  ThemeList themes;
};

TEST_F(ReferenceReload, ReadsTheSettingFolderAndBuildsTheTables) {
  folder.Write("Setting/Stations.ini",
               "\xEF\xBB\xBF"
               "石狩市花川\t43.17\t141.32\t1\t0\r\n"
               "\r\n"
               "札幌中央区北２条\t43.06\t141.33\t1\t0\r\n"
               "last\t1\t2\t3");
  folder.Write("Setting/LandArea.ini", "A\tB\n");
  folder.Write("Theme/Dark/Setting.ini", "");
  folder.Write("Theme/.hidden/x", "");
  Reload();

  EXPECT_EQ(tables->areaInfo.count, 0) << "AreaInfo.ini is absent";
  ASSERT_EQ(tables->stations.count, 3);
  EXPECT_EQ(tables->stations[0].name, u"石狩市花川");
  EXPECT_EQ(tables->stations[1].name, u"") << "a blank line takes an entry";
  EXPECT_EQ(tables->stations[2].latitude, 43.06);
  EXPECT_EQ(FindStation(tables->stations, u"札幌中央区北２条"), 2);
  EXPECT_EQ(FindStation(tables->stations, u"last"), std::nullopt);
  EXPECT_EQ(tables->landAreas.count, 1);
  EXPECT_EQ(tables->areas[120].name, u"奈良県");
  EXPECT_EQ(tables->areaPrefectures[120], u"奈良県");
  EXPECT_EQ(tables->mapGrid.Node(35, 135).y, 1194);
  ASSERT_EQ(themes.count, 1);
  EXPECT_EQ(themes.Name(0), u"Dark");
}

TEST_F(ReferenceReload, AReloadKeepsWorkingFieldsAndStaleEntriesBeyondTheCount) {
  folder.Write("Setting/AreaInfo.ini", "札幌中央区\t1\n石狩市\t0\n");
  folder.Write("Theme/A/x", "");
  Reload();
  tables->areas[1].observedScale = 50;
  tables->areaInfo[0].maxScale = 40;
  folder.Write("Setting/AreaInfo.ini", "札幌北区\n");
  std::filesystem::remove_all(folder.path() / "Theme");
  Reload();

  EXPECT_EQ(tables->areaInfo.count, 1);
  EXPECT_EQ(tables->areaInfo[0].name, u"札幌北区");
  EXPECT_EQ(tables->areaInfo[0].areaIndex, 1) << "no index: the old one stays";
  EXPECT_EQ(tables->areaInfo[0].maxScale, 40);
  EXPECT_EQ(tables->areaInfo[1].name, u"石狩市");
  EXPECT_EQ(tables->areas[1].observedScale, 50);
  EXPECT_EQ(themes.count, 1) << "a missing Theme folder keeps the count";
  EXPECT_EQ(themes.Name(0), u"") << "but the names are blank";
}

TEST_F(ReferenceReload, LinesBeyondATablesCapacityAreNotRead) {
  std::string rows;
  for (int i = 0; i < 150; ++i)
    rows += "from" + std::to_string(i) + "\tto\n";
  folder.Write("Setting/LandArea.ini", rows);
  Reload();
  EXPECT_EQ(tables->landAreas.count, 100);
  EXPECT_EQ(tables->landAreas[99].from, u"from99");
}

// With an installed runtime folder: the reference files the user has (a refreshed station
// list) win over the shipped ones, and the theme list holds the user's and the shipped themes,
// each name once, in name order; with neither Theme folder the list stays.
TEST_F(ReferenceReload, TheUsersFilesAndThemesJoinTheShippedOnes) {
  test::TempFolder shipped;
  shipped.Write("Setting/Stations.ini", "shipped\t1\t2\t3\t0\nsecond\t1\t2\t3\t0\n");
  shipped.Write("Setting/AreaInfo.ini", "札幌中央区\t1\n");
  shipped.Write("Theme/Theme_REV/Setting.ini", "");
  shipped.Write("Theme/Night/Setting.ini", "");
  folder.Write("Setting/Stations.ini", "refreshed\t1\t2\t3\t0\n");
  folder.Write("Theme/Theme_REV/Setting.ini", "[Main]\n");
  folder.Write("Theme/Mine/Setting.ini", "");
  const WorkFolderLayout layout(folder.U16(), shipped.U16());
  ReloadReferenceData(*tables, themes, layout);

  ASSERT_EQ(tables->stations.count, 1);
  EXPECT_EQ(tables->stations[0].name, u"refreshed");
  EXPECT_EQ(tables->areaInfo.count, 1);
  ASSERT_EQ(themes.count, 3);
  EXPECT_EQ(themes.Name(0), u"Mine");
  EXPECT_EQ(themes.Name(1), u"Night");
  EXPECT_EQ(themes.Name(2), u"Theme_REV");
  EXPECT_EQ(SelectTheme(layout, u"Night", themes), u"Night");
  EXPECT_EQ(SelectTheme(layout, u"Gone", themes), u"Mine");

  std::filesystem::remove_all(folder.path() / "Theme");
  std::filesystem::remove_all(shipped.path() / "Theme");
  ScanThemeFolders(layout, themes);
  EXPECT_EQ(themes.count, 3) << "no Theme folder at all keeps the list";
  EXPECT_EQ(themes.Name(0), u"Mine");
}

// One overlong line costs only itself, and the service says how many lines each file lost.
TEST_F(ReferenceReload, OverlongLinesAreSkippedAndLogged) {
  const std::string longLine = std::string(1200, 'x') + "\t1\t2\t3\t0\r\n";
  folder.Write("Setting/Stations.ini",
               "a\t1\t2\t3\t0\r\n" + longLine + "b\t4\t5\t6\t0\r\n" + longLine);
  folder.Write("Setting/LandArea.ini", "A\tB\n" + longLine);
  test::FakeHttpClient http;
  const WorkFolderLayout workingFolder(folder.U16());
  ReferenceDataService service(*tables, themes, workingFolder, http,
                               [] { return StationRefreshConfig{}; });
  service.ReloadReferenceData();
  ASSERT_EQ(tables->stations.count, 2);
  EXPECT_EQ(tables->stations[1].name, u"b");
  EXPECT_EQ(service.TakeLogLines(),
            (std::vector<std::u16string>{
                u"参照ファイル … Stations.ini の 1000 バイト以上の行 2 行を読み飛ばしました",
                u"参照ファイル … LandArea.ini の 1000 バイト以上の行 1 行を読み飛ばしました"}));
  EXPECT_TRUE(service.TakeLogLines().empty()) << "said once per load";
  service.LoadStations();
  EXPECT_EQ(service.TakeLogLines().size(), 1u);
}

TEST_F(ReferenceReload, TheServiceReadsTheWorkingFolderAtEachCall) {
  WorkFolderLayout workingFolder(u"/nonexistent");
  test::FakeHttpClient http;
  ReferenceDataService service(*tables, themes, workingFolder, http,
                               [] { return StationRefreshConfig{}; });
  folder.Write("Setting/Stations.ini", "a\t1\t2\t3\t0\n");
  folder.Write("Setting/AreaInfo.ini", "a\t1\n");
  workingFolder.SetRoot(folder.U16());
  service.LoadStations();
  EXPECT_EQ(tables->stations.count, 1);
  EXPECT_EQ(tables->areaInfo.count, 0) << "LoadStations reads Stations.ini only";
  EXPECT_EQ(tables->areas[0].code, 0);
  service.StartStationRefresh();  // StaJson 0: no download
  EXPECT_FALSE(service.TakeOverStationRefresh());
  EXPECT_TRUE(http.urls.empty());
  service.ReloadReferenceData();
  EXPECT_EQ(tables->areaInfo.count, 1);
  EXPECT_EQ(tables->areas[0].code, 100);
}

}  // namespace
}  // namespace hw

#include "refdata/point_resolution.h"

#include <gtest/gtest.h>

#include <memory>

#include "refdata/reference_files.h"

namespace hw {
namespace {

class ResolvePointTest : public testing::Test {
 protected:
  void Places(std::initializer_list<std::u16string_view> lines) {
    tables->areaInfo.count = 0;
    for (std::u16string_view line : lines)
      ReadAreaInfoLine(line, tables->areaInfo[tables->areaInfo.count++]);
  }
  void Stations(std::initializer_list<std::u16string_view> lines) {
    tables->stations.count = 0;
    for (std::u16string_view line : lines)
      ReadStationLine(line, tables->stations[tables->stations.count++]);
  }
  // The place name that claims `name`, or "-" when none does.
  std::u16string Place(std::u16string_view name) const {
    const auto hit = ResolvePoint(name, *tables).areaInfo;
    return hit ? std::u16string(tables->areaInfo[*hit].name.View()) : u"-";
  }

  std::unique_ptr<ReferenceTables> tables = std::make_unique<ReferenceTables>();
};

TEST_F(ResolvePointTest, StationByExactNamePlaceByFixedName) {
  Stations({u"東京国際空港\t35.55\t139.78\t13", u"東京大田区本羽田\t35.55\t139.73\t13",
            u"東京大田区本羽田\t0\t0\t0"});
  Places({u"東京大田区\t72"});

  const PointResolution airport = ResolvePoint(u"東京国際空港", *tables);
  EXPECT_EQ(airport.station, 0);
  EXPECT_EQ(airport.placeName, u"東京大田区");
  EXPECT_EQ(airport.areaInfo, 0);

  EXPECT_EQ(ResolvePoint(u"東京大田区本羽田", *tables).station, 1) << "the first of that name";
  EXPECT_EQ(ResolvePoint(u"東京大田区", *tables).station, std::nullopt) << "no prefix match";

  // No station, but still an area.
  const PointResolution naha = ResolvePoint(u"那覇空港", *tables);
  EXPECT_EQ(naha.station, std::nullopt);
  EXPECT_EQ(naha.placeName, u"那覇市");
  EXPECT_EQ(naha.areaInfo, std::nullopt);
  Places({u"那覇市\t181"});
  EXPECT_EQ(ResolvePoint(u"那覇空港", *tables).areaInfo, 0);
}

TEST_F(ResolvePointTest, FirstPrefixInFileOrderUnlessAnIslandIsExcluded) {
  Places({u"東村\t180", u"東村山市\t73", u"薩摩川内市\t172", u"萩市\t134", u"佐世保市\t154"});
  EXPECT_EQ(Place(u"東村山市本町"), u"東村") << "first match wins, even when shorter";
  EXPECT_EQ(Place(u"薩摩川内市神田町"), u"薩摩川内市");
  EXPECT_EQ(Place(u"薩摩川内市甑島"), u"-") << "the island needs a line of its own";
  EXPECT_EQ(Place(u"薩摩川内市上甑町"), u"-") << "fixed to 薩摩川内市甑島 first";
  EXPECT_EQ(Place(u"萩市見島宇津"), u"-");
  EXPECT_EQ(Place(u"萩市見島本村"), u"萩市") << "only the exact island name is excluded";
  EXPECT_EQ(Place(u"佐世保市宇久町"), u"-");

  Places({u"東村山市\t73", u"東村\t180", u"薩摩川内市\t172", u"薩摩川内市甑島\t175"});
  EXPECT_EQ(Place(u"東村山市本町"), u"東村山市");
  EXPECT_EQ(Place(u"薩摩川内市下甑町手打"), u"薩摩川内市甑島");
}

TEST_F(ResolvePointTest, PlacesThatNameNoAreaNeverClaimAPoint) {
  // A blank line is a prefix of every name, and an index outside AreaTable leads nowhere; the
  // search goes on past both.
  Places({u"", u"東京千代田区\t188", u"東京千代田区\t-1", u"東京\t72"});
  EXPECT_EQ(ResolvePoint(u"東京千代田区大手町", *tables).areaInfo, 3);
  EXPECT_EQ(ResolvePoint(u"大阪北区", *tables).areaInfo, std::nullopt);
}

TEST(PlaceNameFix, RowsApplyInOrderByExactName) {
  EXPECT_EQ(ApplyPlaceNameFix(u"新千歳空港"), u"千歳市");
  EXPECT_EQ(ApplyPlaceNameFix(u"新千歳空港A"), u"新千歳空港A");
  EXPECT_EQ(ApplyPlaceNameFix(u"薩摩川内市下甑町青瀬"), u"薩摩川内市甑島");
  const PlaceNameFixRow chain[] = {{u"A", u"B"}, {u"B", u"C"}, {u"C", u"A"}};
  EXPECT_EQ(ApplyPlaceNameFix(u"A", chain), u"A");
  EXPECT_EQ(ApplyPlaceNameFix(u"B", chain), u"A");
}

}  // namespace
}  // namespace hw

// The default theme's committed maps, read with the program's own picture decoder: their sizes,
// and land and sea where the program's projections put known places. Each map is decoded
// once per test (a map of Japan takes about a second and 400 MB).

#include <gtest/gtest.h>

#include <QImageReader>
#include <QString>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/qt_picture_decoder.h"
#include "refdata/area_table.h"
#include "refdata/japan_map_projection.h"
#include "refdata/map_grid.h"
#include "refdata/project_to_grid.h"

namespace hw {
namespace {

std::string MapPath(const std::string& file) {
  return std::string(HW_SOURCE_DIR) + "/runtime/Theme/Theme_REV/Map/" + file;
}

Surface Decode(const std::string& file) {
  QtPictureDecoder decoder;
  DecodedPicture decoded = decoder.DecodeFile(
      QString::fromStdString(MapPath(file)).toStdU16String(), PictureFormat::kCompressed);
  EXPECT_TRUE(decoded.ok()) << file;
  return std::move(decoded.picture);
}

// What a pixel shows: the maps paint a navy sea, a grey-green land and light lines (coasts,
// borders) over both. Faint graticule lines on the sea still count as sea.
enum class Ground { kSea, kLand, kLine };

Ground GroundAt(const Surface& map, int x, int y) {
  const std::uint32_t pixel = map.Row(y)[x];
  const int r = static_cast<int>((pixel >> 16) & 0xFF);
  const int g = static_cast<int>((pixel >> 8) & 0xFF);
  const int b = static_cast<int>(pixel & 0xFF);
  if (r * 3 + g * 6 + b > 1100) return Ground::kLine;
  return b > r + 16 ? Ground::kSea : Ground::kLand;
}

struct Pixel {
  int x;
  int y;
};

// How many pixels of the (2·radius + 1)² square around `at` show sea.
int SeaAround(const Surface& map, Pixel at, int radius) {
  int sea = 0;
  for (int y = at.y - radius; y <= at.y + radius; ++y)
    for (int x = at.x - radius; x <= at.x + radius; ++x)
      sea += GroundAt(map, x, y) == Ground::kSea ? 1 : 0;
  return sea;
}

// Land: no sea within two pixels (a prefecture border may cross). Sea: nothing but sea.
void ExpectGround(const Surface& map, Pixel at, Ground expected, const char* name) {
  ASSERT_TRUE(at.x >= 2 && at.y >= 2 && at.x < map.width() - 2 && at.y < map.height() - 2)
      << name << " lies outside the picture";
  const int sea = SeaAround(map, at, 2);
  if (expected == Ground::kSea) {
    EXPECT_EQ(sea, 25) << name << " at pixel " << at.x << "," << at.y << " should be sea";
  } else {
    EXPECT_EQ(sea, 0) << name << " at pixel " << at.x << "," << at.y << " should be land";
  }
}

// --- Sizes -----------------------------------------------------------------------------------

TEST(MapPictures, HaveTheDesignedSizes) {
  // Japan: the grid (x −30..3251, y 14..2513 → pixels 512..10355, 640..8137) and the margins
  // of level-10 views. World: two turns of 10.314 pixels per degree, 192 rows above the pole.
  const struct {
    const char* file;
    int width, height;
  } maps[] = {
      {"jp_map1.jpg", 11520, 8778}, {"jp_map2.jpg", 11520, 8778}, {"world_map.jpg", 7427, 2049}};
  for (const auto& map : maps) {
    QImageReader reader(QString::fromStdString(MapPath(map.file)));
    EXPECT_EQ(reader.format(), "jpeg") << map.file;
    EXPECT_EQ(reader.size(), QSize(map.width, map.height)) << map.file;
  }
}

// --- Maps of Japan ---------------------------------------------------------------------------

struct Place {
  const char* name;
  double latitude, longitude;
  Ground ground;
};

// Inside the grid (18–49°N, 120–154°E) a place is where the program puts its marker:
// ProjectToGrid, then picture pixel = 3 × grid + (602, 598). Beyond the grid the picture
// continues the projection the grid was made from.
const Place kJapanPlaces[] = {
    {"Tokyo (Shinjuku)", 35.69, 139.70, Ground::kLand},
    {"Sapporo", 43.06, 141.35, Ground::kLand},
    {"Sendai", 38.27, 140.87, Ground::kLand},
    {"Nagoya", 35.18, 136.91, Ground::kLand},
    {"Osaka", 34.69, 135.52, Ground::kLand},
    {"Fukuoka (airport)", 33.585, 130.45, Ground::kLand},
    {"Kumamoto", 32.80, 130.71, Ground::kLand},
    {"Okinawa Island (Okinawa City)", 26.33, 127.80, Ground::kLand},
    {"Kushiro plain", 43.10, 144.30, Ground::kLand},
    {"Niigata plain", 37.80, 139.10, Ground::kLand},
    {"Matsuyama", 33.84, 132.77, Ground::kLand},
    {"Seoul", 37.57, 126.98, Ground::kLand},
    {"Vladivostok hinterland", 43.40, 132.10, Ground::kLand},
    {"Khabarovsk", 48.48, 135.07, Ground::kLand},
    {"Taipei", 25.03, 121.56, Ground::kLand},
    {"Yuzhno-Sakhalinsk", 46.96, 142.73, Ground::kLand},
    {"Sea of Japan", 40.0, 135.0, Ground::kSea},
    {"Yamato Bank", 39.0, 134.0, Ground::kSea},
    {"Pacific east of Honshu", 37.0, 145.0, Ground::kSea},
    {"Japan Trench off Sanriku", 39.5, 144.0, Ground::kSea},
    {"Philippine Sea", 28.0, 135.0, Ground::kSea},
    {"East China Sea", 30.0, 125.0, Ground::kSea},
    {"Sea of Okhotsk", 47.0, 148.0, Ground::kSea},
    {"Pacific near the grid's corner", 18.5, 153.5, Ground::kSea},
    {"Tsushima Strait", 34.0, 129.5, Ground::kSea},
    {"Tokyo Bay", 35.45, 139.85, Ground::kSea},
};

const Place kBeyondGridPlaces[] = {
    {"Beijing", 39.90, 116.40, Ground::kLand},
    {"Amur valley", 50.50, 127.50, Ground::kLand},
    {"Luzon", 17.00, 121.00, Ground::kLand},
    {"Pacific east of the grid", 35.0, 158.0, Ground::kSea},
    {"Pacific south of the grid", 16.0, 140.0, Ground::kSea},
};

Pixel GridPixel(GridPosition position) {
  return {3 * position.gx + 602, 3 * position.gy + 598};
}

Pixel ProjectedPixel(double latitude, double longitude) {
  const MapPoint point = JapanMapProjection(latitude, longitude);
  return {static_cast<int>(std::lround(3 * point.x + 602)),
          static_cast<int>(std::lround(3 * point.y + 598))};
}

class JapanMapTest : public testing::TestWithParam<const char*> {
 protected:
  JapanMapTest() { BuildMapGrid(grid_); }
  MapGrid grid_;
};

TEST_P(JapanMapTest, ShowsLandAndSeaWhereTheProgramPlacesThem) {
  const Surface map = Decode(GetParam());
  ASSERT_FALSE(map.empty());

  for (const Place& place : kJapanPlaces)
    ExpectGround(map, GridPixel(ProjectToGrid(grid_, place.latitude, place.longitude)),
                 place.ground, place.name);
  for (const Place& place : kBeyondGridPlaces)
    ExpectGround(map, ProjectedPixel(place.latitude, place.longitude), place.ground, place.name);

  // Every area's marker sits on land or at most 3 pixels off a coast, except where the area's
  // representative point itself lies in the water: off small islands, in a bay (Nakagusuku
  // Bay, Nemuro Bay) or between islands. The nearest land in pixels is given for each.
  const std::vector<int> expectedOffshore = {
      119,  // 北海道奥尻島: 15 px north-east of Okushiri
      167,  // 根室地方南部: 5 px, in Nemuro Bay north of the Nemuro Peninsula
      354,  // 神津島: 28 px east of Kozu-shima
      356,  // 新島: 12 px east of Nii-jima
      357,  // 三宅島: 7 px east of Miyake-jima
      359,  // 小笠原: 11 px, between Chichi-jima and Haha-jima
      801,  // 沖縄県本島中南部: 8 px, in Nakagusuku Bay
      803,  // 沖縄県大東島: 15 px, between Kita- and Minami-daito
      805,  // 沖縄県石垣島: 5 px east of Ishigaki
      806,  // 沖縄県与那国島: 6 px south of Yonaguni
  };
  AreaTable areas;
  BuildAreaTable(areas);
  std::vector<int> offshore;
  for (int i = 0; i < AreaTable::kCount; ++i) {
    const Pixel at = GridPixel(ProjectToGrid(grid_, areas[i].latitude, areas[i].longitude));
    bool nearLand = false;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx)
        if (dx * dx + dy * dy <= 9 && GroundAt(map, at.x + dx, at.y + dy) != Ground::kSea)
          nearLand = true;
    if (!nearLand) offshore.push_back(areas[i].code);
  }
  EXPECT_EQ(offshore, expectedOffshore);
}

INSTANTIATE_TEST_SUITE_P(Maps, JapanMapTest, testing::Values("jp_map1.jpg", "jp_map2.jpg"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(0, 7);
                         });

// --- World map -------------------------------------------------------------------------------

// x = (longitude + 360) × 10.314, y = 192 + (90 − latitude) × 10.314, truncated as the
// program truncates the epicentre's source column.
Pixel WorldPixel(double latitude, double longitude) {
  return {static_cast<int>((longitude + 360.0) * 10.314),
          static_cast<int>(192.0 + (90.0 - latitude) * 10.314)};
}

TEST(WorldMapTest, ShowsLandAndSeaOnBothTurnsOfTheGlobe) {
  const Surface map = Decode("world_map.jpg");
  ASSERT_FALSE(map.empty());
  const Place places[] = {
      {"Honshu (Nagano)", 36.20, 138.00, Ground::kLand},
      {"Beijing", 39.90, 116.40, Ground::kLand},
      {"Moscow", 55.75, 37.62, Ground::kLand},
      {"Paris", 48.86, 2.35, Ground::kLand},
      {"Denver", 39.74, -104.99, Ground::kLand},
      {"Sao Paulo", -23.55, -46.63, Ground::kLand},
      {"Nairobi", -1.29, 36.82, Ground::kLand},
      {"Alice Springs", -23.70, 133.88, Ground::kLand},
      {"Chukotka", 66.0, 175.0, Ground::kLand},
      {"Antarctica", -80.0, 20.0, Ground::kLand},
      {"Antarctica at the pole", -89.5, 90.0, Ground::kLand},
      {"Central Pacific", 0.0, -150.0, Ground::kSea},
      {"North Pacific", 35.0, 170.0, Ground::kSea},
      {"North Atlantic", 30.0, -40.0, Ground::kSea},
      {"Indian Ocean", -20.0, 80.0, Ground::kSea},
      {"Southern Ocean", -55.0, 120.0, Ground::kSea},
      {"Arctic Ocean", 87.0, 10.0, Ground::kSea},
      {"Beyond the pole", 95.0, 60.0, Ground::kSea},
  };
  for (const Place& place : places) {
    // A longitude appears twice: once in each turn of the globe.
    const double other = place.longitude > 0.0 ? place.longitude - 360.0 : place.longitude + 360.0;
    for (const double longitude : {place.longitude, other}) {
      SCOPED_TRACE(longitude);
      ExpectGround(map, WorldPixel(place.latitude, longitude), place.ground, place.name);
    }
  }
}

}  // namespace
}  // namespace hw

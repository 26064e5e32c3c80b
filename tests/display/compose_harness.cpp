#include "display/compose_harness.h"

#include "platform/map_picture.h"
#include "refdata/area_table.h"
#include "refdata/map_grid.h"

namespace hw::test {
namespace {

Surface MarkerSheet(int cell) {
  Surface sheet(cell * 10, cell);
  sheet.Fill(kSpriteKey);
  for (int c = 0; c < 10; ++c)
    sheet.FillRect(c * cell + 2, 2, cell - 4, cell - 4, CellColour(c));
  return sheet;
}

// A map of Japan's size in one colour, drawn without holding its pixels.
class UniformMap final : public MapPicture {
 public:
  explicit UniformMap(COLORREF colour) : colour_(colour) {}
  int width() const override { return 11520; }
  int height() const override { return 8778; }
  bool StretchTo(Surface& dst, int x, int y, int w, int h, int, int, int, int) override {
    dst.FillRect(x, y, w, h, colour_);
    return true;
  }

 private:
  COLORREF colour_;
};

}  // namespace

COLORREF CellColour(int cell) {
  return MakeColorRef(20 + cell * 20, 200 - cell * 10, 30 + cell);
}

ComposeHarness::ComposeHarness() {
  display.CreateFonts();
  BuildAreaTable(reference->areas);
  BuildMapGrid(reference->mapGrid);
  display.CreateSurfaces();
  surfaces[MidIntensitySurface].surface = MarkerSheet(64);
  surfaces[MinIntensitySurface].surface = MarkerSheet(64);
  Surface epicentre(74, 74);
  epicentre.Fill(kSpriteKey);
  epicentre.FillRect(4, 4, 66, 66, kEpicentreColour);
  surfaces[ShingenSurface].surface = std::move(epicentre);
  surfaces[JpMap1Surface].map = std::make_unique<UniformMap>(kJapanMapColour);
  surfaces[JpMap2Surface].map = std::make_unique<UniformMap>(kJapanMapColour);
  Surface world(4000, 2000);
  world.Fill(MakeColorRef(10, 20, 40));
  world.FillRect(kWorldLine, 0, 3, 2000, kWhite);
  surfaces[WorldMapSurface].map = std::make_unique<DecodedMapPicture>(std::move(world));
}

void ComposeHarness::AddStation(std::u16string_view name, double latitude, double longitude) {
  StationRecord& record = reference->stations[reference->stations.count++];
  record.name.Assign(name);
  record.latitude = latitude;
  record.longitude = longitude;
}

void ComposeHarness::AddPlace(std::u16string_view name, int areaIndex) {
  AreaInfoEntry& entry = reference->areaInfo[reference->areaInfo.count++];
  entry.name.Assign(name);
  entry.areaIndex = areaIndex;
}

void ComposeHarness::SolidSprite(SurfaceIndex sprite, int width, int height, COLORREF colour) {
  Surface picture(width, height);
  picture.Fill(colour);
  surfaces[sprite].surface = std::move(picture);
}

void ComposeHarness::SheetSprite(SurfaceIndex sprite, int width, int height, int cells,
                                 bool stacked) {
  Surface sheet(stacked ? width : width * cells, stacked ? height * cells : height);
  for (int k = 0; k < cells; ++k) {
    sheet.FillRect(stacked ? 0 : k * width, stacked ? k * height : 0, width, height,
                   SheetColour(k));
  }
  surfaces[sprite].surface = std::move(sheet);
}

void ComposeHarness::SetPoints(std::initializer_list<std::pair<std::u16string_view, int>> points,
                               std::u16string_view pref) {
  LatestReport& r = report();
  r.pointCount = 0;
  for (const auto& [addr, scale] : points) {
    ObservationPoint& p = r.points[static_cast<std::size_t>(r.pointCount++)];
    p.addr.Assign(addr);
    p.pref.Assign(pref);
    p.scale = scale;
  }
}

void ComposeHarness::Compose() {
  log.lines.clear();
  display.UseSettings(Settings());
  SortObservationPoints(report());
  display.Compose();
}

}  // namespace hw::test

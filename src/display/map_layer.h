#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/report_model.h"
#include "display/compose_inputs.h"
#include "display/map_view.h"
#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// The cell of the Mid/Min intensity sheets for a scale code 0..79: 0–9 → 0, 10–19 → 1,
// 20–29 → 2, 30–39 → 3, 40–44 → 4, 45–49 → 5, 50–54 → 6, 55–59 → 7, 60–69 → 8, 70–79 → 9.
// Codes outside 0..79 have no cell.
std::optional<int> ScaleCellTable(int scale);

// The same earthquake told in several reports: what the last prompt or hypocentre report of
// it said, so that the next one can show both.
struct QuakeMemory {
  struct Epicentre {
    ReportText hypocenterName;
    ReportText depthText;
    double magnitude = 0.0;
    double latitude = 0.0;
    double longitude = 0.0;
  };
  int memTimeKey = 0;
  int memMaxScale = 0;
  int memPointCount = 0;
  int memMaxScalePointCount = 0;
  std::array<ObservationPoint, LatestReport::kMaxPoints> memPoints{};
  std::array<int, AreaTable::kCount> memAreaScales{};
  Epicentre memEpicentre;
};

// The points of the last detailed report, which the city list replaces in the report while it
// composes, and which the composer puts back.
struct DetailScaleCopy {
  int maxScale = 0;
  int pointCount = 0;
  int MaxScalePointCount = 0;
  std::array<ObservationPoint, LatestReport::kMaxPoints> points{};

  void RestoreInto(LatestReport& report) const;
};

// What one composition of the map layer drew, for tools and tests.
struct MapLayerRecord {
  struct Marker {
    int index;  // area index in AreaTable, or station index in StationTable
    int scale;
    int x;  // area markers: the panel position; station markers: qx, qy
    int y;
  };
  MapView view;
  std::optional<GridPosition> epicentreGrid;  // projected in this composition
  bool epicentreDrawn = false;
  std::vector<Marker> areaMarkers;
  std::vector<Marker> stationMarkers;
};

// The first layer of every composition: the map picture, the intensity markers and the
// epicentre, into canvas pages 0–3, and the report's summary in the event log. It keeps the
// same-earthquake memory and the other state between compositions.
class MapLayer {
 public:
  MapLayer();

  // With `wholeJapan` the view is the picture before any report: the whole map of Japan.
  void DrawMapLayer(ComposeInputs& in, bool wholeJapan = false);

  // Where the epicentre was drawn on page 0; all 0 when a Japan-map epicentre was considered
  // but not drawn.
  const Rect& EpicentreRect() const { return epicentreRect_; }
  // The last point of a detailed report that matched no place ("なし" when none).
  const std::u16string& UnknownPointName() const { return unknownPointName_; }
  // Points without a place since the program started.
  int UnknownAreaCount() const { return unknownAreaCount_; }
  const DetailScaleCopy& detailScaleCopy() const { return *detailScaleCopy_; }
  // The epicentre the same-earthquake memory holds after the last composition.
  const QuakeMemory::Epicentre& RememberedEpicentre() const { return memory_->memEpicentre; }
  const MapLayerRecord& record() const { return record_; }
  // The next composition decodes its map even when the view is the last one (benchmarks).
  void ForgetKeptMap() { keptMap_.serial = 0; }

 private:
  void RememberSameEarthquake(ComposeInputs& in, LatestReport& report);
  void WriteSummary(ComposeInputs& in, const LatestReport& report);
  void ResolveDetailPoints(ComposeInputs& in, const LatestReport& report);
  void DrawMarkers(ComposeInputs& in, const LatestReport& report);
  void DrawAreaMarker(ComposeInputs& in, int area, int scale);
  void DrawStationMarker(ComposeInputs& in, int station, int scale);
  void DrawEpicentre(ComposeInputs& in, const LatestReport& report);
  // The view's map on the area page: the map kept from the last composition when it showed
  // the same part of the same picture, else stretched from the picture and kept.
  void DrawMap(Surface& canvas, MapPicture* picture);

  std::unique_ptr<QuakeMemory> memory_;
  std::unique_ptr<DetailScaleCopy> detailScaleCopy_;
  std::optional<GridPosition> epicentreGrid_;
  Rect epicentreRect_;
  std::u16string unknownPointName_ = u"なし";
  int unknownAreaCount_ = 0;
  MapLayerRecord record_;
  // The last map stretched onto the area page, and the picture and part it shows (serial 0:
  // none). A report of the same earthquake, or a demo shown again, has the same view.
  struct KeptMap {
    std::uint64_t serial = 0;
    SourceRect source;
    Surface page;
  } keptMap_;
};

}  // namespace hw

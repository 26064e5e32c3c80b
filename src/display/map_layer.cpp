#include "display/map_layer.h"

#include <algorithm>
#include <array>

#include "display/log_format.h"
#include "display/truncate.h"
#include "eventlog/event_log.h"
#include "platform/blit.h"
#include "platform/text_codec.h"
#include "refdata/point_resolution.h"

namespace hw {
namespace {

// The intensity codes markers are drawn for, weakest first, so that the strongest lie on top.
constexpr std::array<int, 9> kMarkerScales = {10, 20, 30, 40, 45, 50, 55, 60, 70};

// The event log's words for the domestic tsunami codes 0–6.
constexpr std::array<const char*, 7> kTsunamiLogLabel = {
    "不明", "津波の心配なし", "若干の海面変動", "津波注意報", "津波予報", "調査中", "不明"};

const char* TsunamiLogLabel(int domesticTsunami) {
  if (domesticTsunami < 0 || domesticTsunami >= static_cast<int>(kTsunamiLogLabel.size())) {
    return kTsunamiLogLabel[0];
  }
  return kTsunamiLogLabel[static_cast<std::size_t>(domesticTsunami)];
}

std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

int PointCountOf(const LatestReport& report) {
  return std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
}

const ObservationPoint& PointOf(const LatestReport& report, int i) {
  return report.points[static_cast<std::size_t>(i)];
}

// Copies `count` points (already limited to the table) between the report and a memory.
void CopyPoints(const std::array<ObservationPoint, LatestReport::kMaxPoints>& from,
                std::array<ObservationPoint, LatestReport::kMaxPoints>& to, int count) {
  std::copy_n(from.begin(), std::clamp(count, 0, LatestReport::kMaxPoints), to.begin());
}

void TakeEpicentre(QuakeMemory::Epicentre& memory, const LatestReport& report) {
  memory.hypocenterName = report.hypocenterName;
  memory.depthText = report.depthText;
  memory.magnitude = report.magnitude;
  memory.latitude = report.latitude;
  memory.longitude = report.longitude;
}

void GiveEpicentre(const QuakeMemory::Epicentre& memory, LatestReport& report) {
  report.hypocenterName = memory.hypocenterName;
  report.depthText = memory.depthText;
  report.magnitude = memory.magnitude;
  report.latitude = memory.latitude;
  report.longitude = memory.longitude;
}

MapPicture* PictureOf(LayerSurfaces& surfaces, MapPictureId id) {
  switch (id) {
    case MapPictureId::kJpMap1:
      return surfaces[JpMap1Surface].map.get();
    case MapPictureId::kJpMap2:
      return surfaces[JpMap2Surface].map.get();
    case MapPictureId::kWorldMap:
      return surfaces[WorldMapSurface].map.get();
    case MapPictureId::kNone:
      break;
  }
  return nullptr;
}

void CopyPage(Surface& canvas, int from, int to) {
  BitBlt(canvas, PageX(to), 0, kPageWidth, kPageHeight, canvas, PageX(from), 0);
}

// Draws cell `cell` of a marker sheet centred at (x, y) of `page`, `size` + the sheet's
// scaleOff pixels square, with the sprite key.
void StampMarker(ComposeInputs& in, SurfaceIndex sheetSurface, const MarkerSheet& sheet, int cell,
                 int page, int x, int y, int size) {
  const int s = sheet.scaleOff;
  const int half = size / 2;
  TransparentBlt(in.surfaces[CanvasSurface].surface, PageX(page) + x - s / 2 - half,
                 y - s / 2 - half, size + s, size + s, in.surfaces[sheetSurface].surface,
                 cell * sheet.width, 0, sheet.width, sheet.height, kSpriteKey);
}

}  // namespace

std::optional<int> ScaleCellTable(int scale) {
  if (scale < 0 || scale > 79) return std::nullopt;
  if (scale < 40) return scale / 10;
  if (scale < 45) return 4;
  if (scale < 50) return 5;
  if (scale < 55) return 6;
  if (scale < 60) return 7;
  if (scale < 70) return 8;
  return 9;
}

void DetailScaleCopy::RestoreInto(LatestReport& report) const {
  report.maxScale = maxScale;
  report.pointCount = pointCount;
  report.MaxScalePointCount = MaxScalePointCount;
  CopyPoints(points, report.points, pointCount);
}

MapLayer::MapLayer()
    : memory_(std::make_unique<QuakeMemory>()),
      detailScaleCopy_(std::make_unique<DetailScaleCopy>()) {}

void MapLayer::DrawMapLayer(ComposeInputs& in, bool wholeJapan) {
  LatestReport& report = in.reports.latest;
  ReferenceTables& tables = in.reference;
  const int type = report.issueType;
  record_.areaMarkers.clear();
  record_.stationMarkers.clear();
  record_.epicentreGrid.reset();
  record_.epicentreDrawn = false;

  unknownPointName_ = u"なし";
  if (type >= ScalePrompt && type <= DetailScale) {
    for (AreaEntry& area : tables.areas.entries) {
      area.observedScale = 0;
    }
    for (StationRecord& station : tables.stations.entries) {
      station.observedScale = 0;
    }
  }
  RememberSameEarthquake(in, report);
  WriteSummary(in, report);

  std::optional<GridPosition> projected;
  const MapViewInputs viewInputs{tables.areas, tables.mapGrid, in.theme,
                                 memory_->memEpicentre.longitude != kNoCoordinate, wholeJapan};
  record_.view = ComputeMapView(report, viewInputs, projected);
  if (projected) epicentreGrid_ = record_.epicentreGrid = projected;
  if (type == ScalePrompt) {
    for (int i = 0; i < AreaTable::kCount; ++i) {
      memory_->memAreaScales[static_cast<std::size_t>(i)] = tables.areas[i].observedScale;
    }
  }

  Surface& canvas = in.surfaces[CanvasSurface].surface;
  const bool overlay = in.settings.Overlay == 1;
  const bool marked = !overlay || in.settings.OverlayMarkers == 1;
  if (overlay) {
    // Without the map its place is the key colour, which the picture outputs make
    // transparent; markers without it would mislead, so they come only when asked for.
    canvas.FillRect(PageX(AreaPage), 0, kPageWidth, kPageHeight, in.settings.KeyColour);
  } else {
    DrawMap(canvas, PictureOf(in.surfaces, record_.view.picture));
  }
  CopyPage(canvas, AreaPage, StationPage);
  if (marked && in.settings.EpiFront == 0) DrawEpicentre(in, report);
  if (marked) DrawMarkers(in, report);
  if (type != DetailScale) CopyPage(canvas, AreaPage, StationPage);
  CopyPage(canvas, AreaPage, AreaPageNoEpicentre);
  CopyPage(canvas, StationPage, StationPageNoEpicentre);
  if (marked && in.settings.EpiFront == 1) DrawEpicentre(in, report);
}

void MapLayer::DrawMap(Surface& canvas, MapPicture* picture) {
  const MapView& view = record_.view;
  if (picture != nullptr && keptMap_.serial == picture->serial() &&
      keptMap_.source == view.source && view.picture != MapPictureId::kNone) {
    BitBlt(canvas, PageX(AreaPage), 0, kPageWidth, kPageHeight, keptMap_.page, 0, 0);
    return;
  }
  keptMap_.serial = 0;
  if (!DrawMapPicture(view, canvas, PageX(AreaPage), picture)) return;
  if (keptMap_.page.empty()) keptMap_.page = Surface(kPageWidth, kPageHeight);
  if (keptMap_.page.empty()) return;  // no memory for it: the next view is stretched again
  BitBlt(keptMap_.page, 0, 0, kPageWidth, kPageHeight, canvas, PageX(AreaPage), 0);
  keptMap_.serial = picture->serial();
  keptMap_.source = view.source;
}

void MapLayer::RememberSameEarthquake(ComposeInputs& in, LatestReport& report) {
  QuakeMemory& m = *memory_;
  const bool same = report.timeKey >= m.memTimeKey - 2 && report.timeKey <= m.memTimeKey + 2;
  switch (report.issueType) {
    case ScalePrompt:
      if (same) {
        GiveEpicentre(m.memEpicentre, report);
      } else {
        TakeEpicentre(m.memEpicentre, report);
      }
      m.memMaxScale = report.maxScale;
      m.memPointCount = report.pointCount;
      m.memMaxScalePointCount = report.MaxScalePointCount;
      CopyPoints(report.points, m.memPoints, report.pointCount);
      m.memTimeKey = report.timeKey;
      break;
    case Destination:
      if (same) {
        report.maxScale = m.memMaxScale;
        report.pointCount = m.memPointCount;
        report.MaxScalePointCount = m.memMaxScalePointCount;
        CopyPoints(m.memPoints, report.points, m.memPointCount);
        for (int i = 0; i < AreaTable::kCount; ++i) {
          in.reference.areas[i].observedScale = m.memAreaScales[static_cast<std::size_t>(i)];
        }
      } else if (in.reports.history[0].maxScale != -1) {
        report.maxScale = in.reports.history[0].maxScale;
        m.memMaxScale = report.maxScale;
      } else {
        m.memMaxScale = report.maxScale;
        m.memPointCount = report.pointCount;
        m.memMaxScalePointCount = report.MaxScalePointCount;
        CopyPoints(report.points, m.memPoints, report.pointCount);
      }
      TakeEpicentre(m.memEpicentre, report);
      m.memTimeKey = report.timeKey;
      break;
    case DetailScale: {
      if (report.timeKey == m.memTimeKey) TakeEpicentre(m.memEpicentre, report);
      DetailScaleCopy& copy = *detailScaleCopy_;
      copy.maxScale = report.maxScale;
      copy.pointCount = report.pointCount;
      copy.MaxScalePointCount = report.MaxScalePointCount;
      CopyPoints(report.points, copy.points, report.pointCount);
      break;
    }
    default:
      break;
  }
}

void MapLayer::WriteSummary(ComposeInputs& in, const LatestReport& report) {
  EventLogWriter& log = in.log;
  if (report.maxScale != 0) {
    log.WriteEventLog(FormatLogText("Event Log       ： 地震情報 … 日時：%s, マグニチュード：%3.1f",
                                    Utf8(report.eventDayTime.View()).c_str(), report.magnitude));
    log.WriteEventLog(
        FormatLogText("Event Log       ： 地震情報 … 震源：%s, 深さ：%s, 緯度経度：(%3.1f,%4.1f)",
                      Utf8(report.hypocenterName.View()).c_str(),
                      Utf8(report.depthText.View()).c_str(), report.latitude, report.longitude));
    log.WriteEventLog(FormatLogText(
        "Event Log       ： 地震情報 … 最大震度：%02d (%2d地点), 地点数：%d, 津波：%s",
        report.maxScale, report.MaxScalePointCount, report.pointCount,
        TsunamiLogLabel(report.domesticTsunami)));
    log.WriteEventLog(SeparatorLine(u'-'));
  }
  if (report.issueType == DetailScale) {
    ResolveDetailPoints(in, report);
    return;
  }
  if (report.maxScale == 0) return;
  for (int i = 0; i < PointCountOf(report); ++i) {
    const ObservationPoint& point = PointOf(report, i);
    log.WriteEventLog(FormatLogText("Event Log       ： エリア情報 … %02d, %s", point.scale,
                                    Utf8(point.addr.View()).c_str()));
  }
  log.WriteEventLog(SeparatorLine(u'='));
}

void MapLayer::ResolveDetailPoints(ComposeInputs& in, const LatestReport& report) {
  EventLogWriter& log = in.log;
  ReferenceTables& tables = in.reference;
  for (int i = 0; i < PointCountOf(report); ++i) {
    const ObservationPoint& point = PointOf(report, i);
    const std::u16string_view addr = point.addr.View();
    const PointResolution where = ResolvePoint(addr, tables);
    if (where.station) {
      tables.stations[*where.station].observedScale = point.scale;
    } else {
      log.WriteEventLog(SeparatorLine(u'x'));
      log.WriteEventLog(u"Event Log       ： 未定義・緯度経度    … " + std::u16string(addr));
      log.WriteEventLog(SeparatorLine(u'x'));
    }
    if (where.areaInfo) {
      const AreaInfoEntry& place = tables.areaInfo[*where.areaInfo];
      int& observed = tables.areas[place.areaIndex].observedScale;
      observed = std::max(observed, point.scale);
      log.WriteEventLog(FormatLogText("Event Log       ： エリア情報 … %02d, %s, %s", point.scale,
                                      Utf8(place.name.View()).c_str(), Utf8(addr).c_str()));
    } else {
      ++unknownAreaCount_;
      unknownPointName_ = addr;
      log.WriteEventLog(SeparatorLine(u'x'));
      log.WriteEventLog(
          FormatLogText("Event Log       ： 未定義エリア(#%02d) … ", unknownAreaCount_) +
          std::u16string(addr));
      log.WriteEventLog(SeparatorLine(u'x'));
    }
  }
  log.WriteEventLog(SeparatorLine(u'='));
}

void MapLayer::DrawMarkers(ComposeInputs& in, const LatestReport& report) {
  const ReferenceTables& tables = in.reference;
  switch (report.issueType) {
    case ScalePrompt:
      // The points are sorted by falling scale: drawn from the last, the strongest lie on top.
      for (int i = PointCountOf(report) - 1; i >= 0; --i) {
        const ObservationPoint& point = PointOf(report, i);
        for (int area = 0; area < AreaTable::kCount; ++area) {
          if (tables.areas[area].name == point.addr.View()) DrawAreaMarker(in, area, point.scale);
        }
      }
      break;
    case Destination:
    case ScaleAndDestination:
    case DetailScale:
      for (const int scale : kMarkerScales) {
        for (int area = 0; area < AreaTable::kCount; ++area) {
          if (tables.areas[area].observedScale == scale) DrawAreaMarker(in, area, scale);
        }
      }
      if (report.issueType != DetailScale) break;
      for (const int scale : kMarkerScales) {
        for (int station = 0; station < tables.stations.count; ++station) {
          if (tables.stations[station].observedScale == scale) {
            DrawStationMarker(in, station, scale);
          }
        }
      }
      break;
    default:
      break;
  }
}

void MapLayer::DrawAreaMarker(ComposeInputs& in, int area, int scale) {
  const std::optional<int> cell = ScaleCellTable(scale);
  if (!cell) return;
  const AreaEntry& entry = in.reference.areas[area];
  const PanelPosition p =
      GridToPanel(record_.view, in.theme.MapXaxisPercent,
                  ProjectToGrid(in.reference.mapGrid, entry.latitude, entry.longitude));
  const int s = in.theme.intensity.MidIntensity.scaleOff;
  const int half = s / 2 + 32;
  if (!(half < p.x && p.x < 1888 - s / 2 && half < p.y && p.y < 1048 - s / 2)) return;
  StampMarker(in, MidIntensitySurface, in.theme.intensity.MidIntensity, *cell, AreaPage, p.x, p.y,
              64);
  record_.areaMarkers.push_back({area, scale, p.x, p.y});
}

void MapLayer::DrawStationMarker(ComposeInputs& in, int station, int scale) {
  const std::optional<int> cell = ScaleCellTable(scale);
  if (!cell) return;
  const StationRecord& record = in.reference.stations[station];
  const PanelPosition p =
      GridToPanel(record_.view, in.theme.MapXaxisPercent,
                  ProjectToGrid(in.reference.mapGrid, record.latitude, record.longitude));
  const int qx = p.x + 7;
  const int qy = p.y - 5;
  if (qx < 1 || qx > 1919 || qy < 1 || qy > 1079) return;
  StampMarker(in, MinIntensitySurface, in.theme.intensity.MinIntensity, *cell, StationPage, qx, qy,
              44);
  record_.stationMarkers.push_back({station, scale, qx, qy});
}

void MapLayer::DrawEpicentre(ComposeInputs& in, const LatestReport& report) {
  const int type = report.issueType;
  const bool japan = type == Destination || type == ScaleAndDestination || type == DetailScale ||
                     (type == ScalePrompt && memory_->memEpicentre.longitude != kNoCoordinate);
  if (!japan && type != Foreign) return;

  const int w = in.theme.waku.ShingenWakuWidth;
  const int h = in.theme.waku.ShingenWakuHeight;
  Surface& canvas = in.surfaces[CanvasSurface].surface;
  const Surface& sprite = in.surfaces[ShingenSurface].surface;
  const auto stamp = [&](int left, int top) {
    for (const int page : {AreaPage, StationPage}) {
      TransparentBlt(canvas, PageX(page) + left, top, w, h, sprite, 0, 0, w, h, kSpriteKey);
    }
    record_.epicentreDrawn = true;
  };

  if (type == Foreign) {
    // The world view is centred on the epicentre's longitude; the latitude is placed on the
    // world picture's scale, lowered by its top margin unless the view starts further south.
    double y = (180 - (report.latitude + 90)) * 1080 / 180;
    if (report.latitude >= -40.0) y += 111.724;
    const int ey = TruncateToInt(y);
    const int top = ey - h / 2 - 5;
    epicentreRect_ = {967 - w / 2, top, 967 + w / 2, ey + h / 2 - 5};
    stamp(967 - w / 2, top);
    return;
  }

  epicentreRect_ = {};
  if (!epicentreGrid_) return;
  const PanelPosition e = GridToPanel(record_.view, in.theme.MapXaxisPercent, *epicentreGrid_);
  const bool inside = 18 < report.latitude && report.latitude < 49 && 120 < report.longitude &&
                      report.longitude < 154 && w / 2 - 7 < e.x && e.x < 1913 - w / 2 &&
                      h / 2 + 5 < e.y && e.y < 1085 - h / 2;
  if (!inside) return;
  epicentreRect_ = {e.x - w / 2 + 7, e.y - h / 2 - 5, e.x + w / 2 + 7, e.y + h / 2 - 5};
  stamp(epicentreRect_.left, epicentreRect_.top);
}

}  // namespace hw

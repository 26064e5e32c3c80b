#include "display/report_json.h"

#include <string>
#include <vector>

#include "platform/text_codec.h"

namespace hw {
namespace {

const char* PictureName(MapPictureId picture) {
  switch (picture) {
    case MapPictureId::kJpMap1:
      return "jp_map1";
    case MapPictureId::kJpMap2:
      return "jp_map2";
    case MapPictureId::kWorldMap:
      return "world_map";
    case MapPictureId::kNone:
      break;
  }
  return nullptr;
}

void WriteMarkers(JsonWriter& json, const std::vector<MapLayerRecord::Marker>& markers) {
  json.BeginArray();
  for (const MapLayerRecord::Marker& m : markers) {
    json.BeginArray().Value(m.index).Value(m.scale).Value(m.x).Value(m.y).EndArray();
  }
  json.EndArray();
}

}  // namespace

void WriteReportHeader(JsonWriter& json, const ReportHeader& r) {
  json.Key("timeKey").Value(r.timeKey);
  json.Key("code").Value(r.code);
  json.Key("issueType").Value(r.issueType);
  json.Key("eventDayTime").Value(r.eventDayTime.View());
  json.Key("eventYearMonth").Value(r.eventYearMonth.View());
  json.Key("issueDayTime").Value(r.issueDayTime.View());
  json.Key("issueYearMonth").Value(r.issueYearMonth.View());
  json.Key("hypocenterName").Value(r.hypocenterName.View());
  json.Key("depthText").Value(r.depthText.View());
}

void WriteReportNumbers(JsonWriter& json, const ReportHeader& r) {
  json.Key("maxScale").Value(r.maxScale);
  json.Key("magnitude").Value(r.magnitude);
  json.Key("latitude").Value(r.latitude);
  json.Key("longitude").Value(r.longitude);
  json.Key("domesticTsunami").Value(r.domesticTsunami);
  json.Key("foreignTsunami").Value(r.foreignTsunami);
}

void WriteLatestReport(JsonWriter& json, const LatestReport& latest) {
  json.BeginObject();
  WriteReportHeader(json, latest);
  json.Key("commentLength").Value(latest.commentLength);
  json.Key("commentText").Value(latest.commentText.View());
  WriteReportNumbers(json, latest);
  json.Key("pointCount").Value(latest.pointCount);
  json.Key("MaxScalePointCount").Value(latest.MaxScalePointCount);
  json.Key("points").BeginArray();
  for (int i = 0; i < latest.pointCount; ++i) {
    const ObservationPoint& point = latest.points[static_cast<std::size_t>(i)];
    json.BeginObject();
    json.Key("addr").Value(point.addr.View());
    json.Key("pref").Value(point.pref.View());
    json.Key("scale").Value(point.scale);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteViewFields(JsonWriter& json, int issueType, const MapLayer& layer) {
  const MapLayerRecord& r = layer.record();
  json.Key("issueType").Value(issueType);
  json.Key("level").Value(r.view.level);
  json.Key("originX");
  r.view.japanOrigin ? json.Value(r.view.originX) : json.Null();
  json.Key("originY");
  r.view.japanOrigin ? json.Value(r.view.originY) : json.Null();
  json.Key("picture");
  if (const char* name = PictureName(r.view.picture)) {
    json.Value(Utf8ToUtf16(name));
  } else {
    json.Null();
  }
  json.Key("source");
  if (r.view.picture != MapPictureId::kNone) {
    const SourceRect& s = r.view.source;
    json.BeginArray().Value(s.x).Value(s.y).Value(s.width).Value(s.height).EndArray();
  } else {
    json.Null();
  }
  json.Key("epicentreGrid");
  if (r.epicentreGrid) {
    json.BeginArray().Value(r.epicentreGrid->gx).Value(r.epicentreGrid->gy).EndArray();
  } else {
    json.Null();
  }
  const Rect& e = layer.EpicentreRect();
  json.Key("epicentreRect").BeginArray().Value(e.left).Value(e.top).Value(e.right).Value(e.bottom);
  json.EndArray();
  json.Key("epicentreDrawn").Bool(r.epicentreDrawn);
  json.Key("areaMarkers");
  WriteMarkers(json, r.areaMarkers);
  json.Key("stationMarkers");
  WriteMarkers(json, r.stationMarkers);
  json.Key("unknownPointName").Value(layer.UnknownPointName());
  json.Key("unknownAreaCount").Value(layer.UnknownAreaCount());
}

}  // namespace hw

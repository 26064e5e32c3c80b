#pragma once

#include "acquisition/report_model.h"
#include "display/map_layer.h"
#include "platform/json_writer.h"

namespace hw {

// A report as JSON fields, as the headless tool's parse command prints it and the local page's
// /latest.json serves it: the header (times, place, depth), the numbers (intensity, magnitude,
// position, tsunami) and the whole latest report with its comment and points.
void WriteReportHeader(JsonWriter& json, const ReportHeader& r);
void WriteReportNumbers(JsonWriter& json, const ReportHeader& r);
void WriteLatestReport(JsonWriter& json, const LatestReport& latest);

// The view the last composition chose and what it drew on the map, as fields of an open
// object: the level, origin, map picture and its source, the epicentre and the markers.
void WriteViewFields(JsonWriter& json, int issueType, const MapLayer& layer);

}  // namespace hw

// heronwatch-tool parse: reads a report body as a fetch and the loop's take-over would, and
// prints the report stores as JSON.

#include <cstdio>
#include <memory>
#include <string>

#include "acquisition/fetch_status.h"
#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "tool/commands.h"
#include "tool/json_writer.h"
#include "tool/work_folder.h"

namespace hw::tool {
namespace {

void WriteHeader(JsonWriter& json, const ReportHeader& r) {
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

void WriteNumbers(JsonWriter& json, const ReportHeader& r) {
  json.Key("maxScale").Value(r.maxScale);
  json.Key("magnitude").Value(r.magnitude);
  json.Key("latitude").Value(r.latitude);
  json.Key("longitude").Value(r.longitude);
  json.Key("domesticTsunami").Value(r.domesticTsunami);
  json.Key("foreignTsunami").Value(r.foreignTsunami);
}

void WriteLatest(JsonWriter& json, const LatestReport& latest) {
  json.BeginObject();
  WriteHeader(json, latest);
  json.Key("commentLength").Value(latest.commentLength);
  json.Key("commentText").Value(latest.commentText.View());
  WriteNumbers(json, latest);
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

}  // namespace

int RunParse(const Arguments& args) {
  const std::string& bodyPath = args.arguments.front();
  // The id is compared with its quotes, as the body writes it.
  std::u16string lastShownId = Utf8ToUtf16(args.Value("last-shown-id").value_or(""));
  if (args.Value("last-shown-id") &&
      (lastShownId.size() < 2 || lastShownId.front() != u'"' || lastShownId.back() != u'"')) {
    lastShownId = u"\"" + lastShownId + u"\"";
  }

  const auto body = ReadFileBytes(Utf8ToUtf16(bodyPath), FetchWorker::kBodyLimit);
  if (!body) {
    std::fprintf(stderr, "heronwatch-tool: cannot read %s\n", bodyPath.c_str());
    return 1;
  }
  TimePaddings paddings;
  if (args.Value("workdir")) {
    const ThemeLayout theme = LoadWorkFolderTheme(CommandWorkFolder(args));
    paddings = {theme.style.EventTime.fontPadding, theme.style.HisEvTime.fontPadding,
                theme.style.ReportTime.fontPadding};
  }

  const auto store = std::make_unique<ReportStore>();
  std::u16string newestId;
  const FetchStatusValue status = ReadReportBody(*body, *store, newestId, lastShownId, paddings);
  if (status == FetchDone) SortObservationPoints(store->latest);

  JsonWriter json;
  json.BeginObject();
  json.Key("status").Value(static_cast<int>(status));
  json.Key("newestId").Value(newestId);
  json.Key("latest");
  WriteLatest(json, store->latest);
  json.Key("history").BeginArray();
  for (const QuakeReport& slot : store->history) {
    json.BeginObject();
    WriteHeader(json, slot);
    WriteNumbers(json, slot);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  std::printf("%s\n", json.str().c_str());
  return 0;
}

}  // namespace hw::tool

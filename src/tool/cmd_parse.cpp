// heronwatch-tool parse: reads a report body as a fetch and the loop's take-over would, and
// prints the report stores as JSON.

#include <cstdio>
#include <memory>
#include <string>

#include "acquisition/fetch_status.h"
#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"
#include "display/report_json.h"
#include "platform/file_system.h"
#include "platform/json_writer.h"
#include "platform/text_codec.h"
#include "tool/commands.h"
#include "tool/work_folder.h"

namespace hw::tool {

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
  WriteLatestReport(json, store->latest);
  json.Key("history").BeginArray();
  for (const QuakeReport& slot : store->history) {
    json.BeginObject();
    WriteReportHeader(json, slot);
    WriteReportNumbers(json, slot);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  std::printf("%s\n", json.str().c_str());
  return 0;
}

}  // namespace hw::tool

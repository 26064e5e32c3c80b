#include "acquisition/report_body.h"

#include "acquisition/compact_json.h"
#include "acquisition/fetch_status.h"
#include "platform/text_codec.h"

namespace hw {

FetchStatusValue ReadReportBody(std::string_view body, ReportStore& store, std::u16string& newestId,
                                const std::u16string& lastShownId, const TimePaddings& paddings) {
  // The reader understands compact JSON only; the same list pretty-printed reads the same.
  const std::string compact = CompactJson(body.substr(0, body.find('\0')));
  if (compact.empty() || compact[0] != '[') return FetchBadBody;
  const std::u16string text = Utf8ToUtf16(compact);
  ReportReader reader(store, newestId, lastShownId, paddings);
  const ReadResult check = reader.ReadReports(text, ReadPass::kCheck);
  if (check == ReadResult::kAlreadyShown) return FetchUnchanged;
  if (check != ReadResult::kNewReport) return FetchNoReports;
  ResetReportStore(store);
  reader.ReadReports(text, ReadPass::kLatest);
  reader.ReadReports(text, ReadPass::kHistory);
  SortReportHistory(store.history);
  return FetchDone;
}

bool IsEmptyReportList(std::string_view body) {
  return CompactJson(body.substr(0, body.find('\0'))) == "[]";
}

}  // namespace hw

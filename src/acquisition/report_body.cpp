#include "acquisition/report_body.h"

#include "acquisition/fetch_status.h"
#include "platform/text_codec.h"

namespace hw {

FetchStatusValue ReadReportBody(std::string_view body, ReportStore& store, std::u16string& newestId,
                                const std::u16string& lastShownId, const TimePaddings& paddings) {
  body = body.substr(0, body.find('\0'));
  if (body.empty() || body[0] != '[') return FetchBadBody;
  const std::u16string text = Utf8ToUtf16(body);
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

}  // namespace hw

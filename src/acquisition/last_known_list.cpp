#include "acquisition/last_known_list.h"

#include <memory>

#include "acquisition/fetch_worker.h"
#include "acquisition/report_body.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace hw {

LastKnownList ReadLastKnownList(const std::u16string& path, ReportStore& store,
                                const TimePaddings& paddings) {
  LastKnownList list;
  const FileBytes file = ReadRegularFile(path, FetchWorker::kBodyLimit);
  if (file.status == FileBytes::Status::kMissing) {
    list.problem = u"前回の受信データなし";
    return list;
  }
  if (file.status != FileBytes::Status::kRead) {
    list.problem = u"前回の受信データを読めません … " + Utf8ToUtf16(file.error);
    return list;
  }
  if (file.bytes.size() >= FetchWorker::kBodyLimit) {
    list.problem = u"前回の受信データを読めません … 大きすぎます";
    return list;
  }
  // A scratch store, so that a copy without a report leaves the caller's store untouched.
  auto read = std::make_unique<ReportStore>();
  std::u16string newestId;
  if (ReadReportBody(file.bytes, *read, newestId, {}, paddings) != FetchDone) {
    list.problem = u"前回の受信データを読めません … 地震情報がありません";
    return list;
  }
  store = *read;
  list.read = true;
  list.received = FileModifiedLocalTime(path).value_or(std::tm{});
  return list;
}

}  // namespace hw

#include "refdata/reference_data_service.h"

#include <string>
#include <utility>

#include "platform/text_codec.h"
#include "refdata/initial_value.h"

namespace hw {

template <typename Table>
void ReferenceDataService::NoteSkippedLines(const char* file, const Table& table) {
  if (table.skippedLongLines == 0) return;
  logLines_.push_back(u"参照ファイル … " + Utf8ToUtf16(file) + u" の 1000 バイト以上の行 " +
                      Utf8ToUtf16(std::to_string(table.skippedLongLines)) +
                      u" 行を読み飛ばしました");
}

void ReferenceDataService::StartStationRefresh() {
  StationRefreshConfig config = configure_();
  if (config.StaJson == 0) return;
  refresh_.Start(std::move(config));
}

bool ReferenceDataService::TakeOverStationRefresh() {
  std::optional<StationRefreshOutcome> outcome = refresh_.TakeOutcome();
  if (!outcome) return false;
  if (!outcome->said.empty()) logLines_.push_back(std::move(outcome->said));
  return true;
}

void ReferenceDataService::ReloadReferenceData() {
  hw::ReloadReferenceData(tables_, themes_, workingFolder_);
  NoteSkippedLines("AreaInfo.ini", tables_.areaInfo);
  NoteSkippedLines("Stations.ini", tables_.stations);
  NoteSkippedLines("LandArea.ini", tables_.landAreas);
}

void ReferenceDataService::LoadStations() {
  CInitalValue(tables_, themes_, workingFolder_).LoadStations();
  NoteSkippedLines("Stations.ini", tables_.stations);
}

std::vector<std::u16string> ReferenceDataService::TakeLogLines() {
  return std::exchange(logLines_, {});
}

void ReferenceDataService::Shutdown() {
  http_.AbortAll();
  refresh_.Join();
}

void FolderReferenceData::ReloadReferenceData() {
  hw::ReloadReferenceData(tables_, themes_, workingFolder_);
}

}  // namespace hw

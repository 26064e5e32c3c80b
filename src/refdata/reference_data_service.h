#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/http_client.h"
#include "platform/work_folder_layout.h"
#include "refdata/reference_service.h"
#include "refdata/reference_tables.h"
#include "refdata/station_refresh_worker.h"
#include "refdata/theme_catalogue.h"

namespace hw {

// The reference-data service over the program's tables. The working folder is read at each
// call, since start-up records it after the service is made.
class ReferenceDataService final : public ReferenceService {
 public:
  // `configure` gives the station refresh its settings at the moment it starts.
  ReferenceDataService(ReferenceTables& tables, ThemeList& themes,
                       const WorkFolderLayout& workingFolder, HttpClient& http,
                       std::function<StationRefreshConfig()> configure)
      : tables_(tables),
        themes_(themes),
        workingFolder_(workingFolder),
        http_(http),
        refresh_(http),
        configure_(std::move(configure)) {}
  ~ReferenceDataService() override { Shutdown(); }
  ReferenceDataService(const ReferenceDataService&) = delete;
  ReferenceDataService& operator=(const ReferenceDataService&) = delete;

  void StartStationRefresh() override;
  bool TakeOverStationRefresh() override;
  void ReloadReferenceData() override;
  void LoadStations() override;
  std::vector<std::u16string> TakeLogLines() override;
  void Shutdown() override;

 private:
  // A log line for a file whose overlong lines the last load skipped.
  template <typename Table>
  void NoteSkippedLines(const char* file, const Table& table);

  ReferenceTables& tables_;
  ThemeList& themes_;
  const WorkFolderLayout& workingFolder_;
  HttpClient& http_;
  StationRefreshWorker refresh_;
  std::function<StationRefreshConfig()> configure_;
  std::vector<std::u16string> logLines_;
};

// The reference files of a working folder and nothing else: no station list is downloaded.
// For the displays that run without a window (the headless tool, the fuzz target).
class FolderReferenceData final : public ReferenceService {
 public:
  FolderReferenceData(ReferenceTables& tables, ThemeList& themes,
                      const WorkFolderLayout& workingFolder)
      : tables_(tables), themes_(themes), workingFolder_(workingFolder) {}
  void StartStationRefresh() override {}
  bool TakeOverStationRefresh() override { return false; }
  void ReloadReferenceData() override;
  void LoadStations() override {}
  std::vector<std::u16string> TakeLogLines() override { return {}; }
  void Shutdown() override {}

 private:
  ReferenceTables& tables_;
  ThemeList& themes_;
  const WorkFolderLayout& workingFolder_;
};

}  // namespace hw

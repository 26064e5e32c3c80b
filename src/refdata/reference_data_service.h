#pragma once

#include <functional>
#include <string>

#include "platform/http_client.h"
#include "platform/work_folder_layout.h"
#include "refdata/reference_service.h"
#include "refdata/reference_tables.h"
#include "refdata/station_json_dl.h"
#include "refdata/theme_catalogue.h"

namespace hw {

// The reference-data service over the program's tables. The working folder is read at each
// call, since start-up records it after the service is made.
class ReferenceDataService final : public ReferenceService {
 public:
  // `configure` gives the station refresh its settings at the moment it runs.
  ReferenceDataService(ReferenceTables& tables, ThemeList& themes,
                       const WorkFolderLayout& workingFolder, HttpClient& http,
                       std::function<StationRefreshConfig()> configure)
      : tables_(tables),
        themes_(themes),
        workingFolder_(workingFolder),
        stationDownload_(http),
        configure_(std::move(configure)) {}

  void RefreshStationFile() override { stationDownload_.RefreshStationFile(configure_()); }
  void ReloadReferenceData() override;
  void LoadStations() override;

 private:
  ReferenceTables& tables_;
  ThemeList& themes_;
  const WorkFolderLayout& workingFolder_;
  CStationJsonDL stationDownload_;
  std::function<StationRefreshConfig()> configure_;
};

}  // namespace hw

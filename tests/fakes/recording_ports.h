#pragma once

#include <functional>

#include "acquisition/report_model.h"
#include "shell/shell_ports.h"

namespace hw::test {

// Shell ports that count their calls; the fetch service can hand over a prepared result.
class RecordingFetchService final : public FetchService {
 public:
  void StartFetchWorker() override { ++starts; }
  void TakeOverResult(ReportStore& display) override {
    ++takeOvers;
    if (fill) fill(display);
  }
  void Shutdown() override { ++shutdowns; }

  int starts = 0;
  int takeOvers = 0;
  int shutdowns = 0;
  std::function<void(ReportStore&)> fill;
};

class RecordingReferenceService final : public ReferenceService {
 public:
  void RefreshStationFile() override { ++refreshes; }
  void ReloadReferenceData() override { ++reloads; }
  void LoadStations() override { ++stationLoads; }
  int refreshes = 0;
  int reloads = 0;
  int stationLoads = 0;
};

class ScriptedThemeAssets final : public ThemeAssetService {
 public:
  ThemeAssetResult LoadThemeAssets() override {
    ++loads;
    return result;
  }
  ThemeAssetResult result = ThemeAssetResult::kLoaded;
  int loads = 0;
};

class RecordingTray final : public TrayService {
 public:
  void Add() override { ++adds; }
  void Remove() override { ++removes; }
  int adds = 0;
  int removes = 0;
};

struct RecordingPorts {
  RecordingFetchService fetch;
  RecordingReferenceService reference;
  ScriptedThemeAssets assets;
  RecordingTray tray;
  ShellPorts ports{fetch, reference, assets, tray};
};

}  // namespace hw::test

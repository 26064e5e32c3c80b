#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/report_model.h"
#include "fakes/fake_stream_ports.h"
#include "shell/shell_ports.h"

namespace hw::test {

// Shell ports that count their calls; the fetch service can hand over a prepared result, and
// `onStart` can play the worker.
class RecordingFetchService final : public FetchService {
 public:
  void StartFetchWorker() override {
    ++starts;
    if (onStart) onStart();
  }
  const ReportStore& Result() override {
    ++takeOvers;
    if (fill) fill(*result);
    return *result;
  }
  void Shutdown() override { ++shutdowns; }

  int starts = 0;
  int takeOvers = 0;
  int shutdowns = 0;
  std::function<void(ReportStore&)> fill;
  std::unique_ptr<ReportStore> result = std::make_unique<ReportStore>();
  std::function<void()> onStart;
};

// A refresh ends at the take-over that follows its start, unless `refreshRunning` holds it.
class RecordingReferenceService final : public ReferenceService {
 public:
  void StartStationRefresh() override {
    ++refreshes;
    refreshPending = true;
  }
  bool TakeOverStationRefresh() override {
    if (!refreshPending || refreshRunning) return false;
    refreshPending = false;
    return true;
  }
  void ReloadReferenceData() override { ++reloads; }
  void LoadStations() override { ++stationLoads; }
  std::vector<std::u16string> TakeLogLines() override { return std::exchange(logLines, {}); }
  void Shutdown() override { ++shutdowns; }
  int refreshes = 0;
  int reloads = 0;
  int stationLoads = 0;
  int shutdowns = 0;
  bool refreshPending = false;
  bool refreshRunning = false;
  std::vector<std::u16string> logLines;
};

class ScriptedThemeAssets final : public ThemeAssetService {
 public:
  ThemeAssetResult LoadThemeAssets() override {
    ++loads;
    return result;
  }
  std::vector<std::u16string> LoadProblems() const override { return problems; }
  ThemeAssetResult result = ThemeAssetResult::kLoaded;
  std::vector<std::u16string> problems;
  int loads = 0;
};

class RecordingTray final : public TrayService {
 public:
  void Add() override { ++adds; }
  void Remove() override { ++removes; }
  void SetToolTip(std::u16string_view text) override { toolTip = text; }
  int adds = 0;
  int removes = 0;
  std::u16string toolTip;
};

class RecordingUserInterface final : public UserInterfaceService {
 public:
  void ShowContextMenu(const CommandMenu& m, Point screen) override {
    menu = m;
    menuPosition = screen;
    ++menus;
  }
  void ShowAboutBox() override { ++aboutBoxes; }
  void OpenDocument(std::u16string_view fileName, std::function<void()> cannotOpen) override {
    documents.emplace_back(fileName);
    if (!documentOpens) cannotOpen();
  }
  void OpenSettingsDialog() override { ++settingsDialogs; }

  CommandMenu menu;
  Point menuPosition;
  int menus = 0;
  int aboutBoxes = 0;
  std::vector<std::u16string> documents;
  bool documentOpens = true;
  int settingsDialogs = 0;
};

class RecordingNotifications final : public NotificationService {
 public:
  void Notify(const Notification& notification) override { shown.push_back(notification); }
  std::vector<Notification> shown;
};

struct RecordingPorts {
  RecordingFetchService fetch;
  RecordingReferenceService reference;
  ScriptedThemeAssets assets;
  RecordingTray tray;
  RecordingUserInterface ui;
  RecordingNotifications notify;
  FakePictureWorker pictures;
  ShellPorts ports{fetch, reference, assets, tray, ui, notify, {&pictures, nullptr, nullptr}};
};

}  // namespace hw::test

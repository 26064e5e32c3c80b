#pragma once

namespace hw {

struct ReportStore;

// The shell's calls into the subsystems that run beside it. Each is a small interface so that
// the shell runs in tests with recording fakes.

// Starts fetch workers and hands their results over.
class FetchService {
 public:
  virtual ~FetchService() = default;
  // Starts one worker thread and returns at once; the worker does nothing when FetchStatus is
  // not FetchIdle.
  virtual void StartFetchWorker() = 0;
  // Called by the loop after it saw FetchDone and before it hands the status word back: copies
  // the worker's report stores into the display's.
  virtual void TakeOverResult(ReportStore& display) = 0;
  // Aborts a running transfer and waits for the worker to end.
  virtual void Shutdown() = 0;
};

// Reference data: the station list refresh and the reference files.
class ReferenceService {
 public:
  virtual ~ReferenceService() = default;
  virtual void RefreshStationFile() = 0;
  virtual void ReloadReferenceData() = 0;
  virtual void LoadStations() = 0;
};

// Loads the theme's pictures into the sprite surfaces: 0, or the failure code of the first
// required picture that could not be loaded (−1, −91, −92, −100).
class ThemeAssetService {
 public:
  virtual ~ThemeAssetService() = default;
  virtual int LoadThemeAssets() = 0;
};

// The notification-area icon.
class TrayService {
 public:
  virtual ~TrayService() = default;
  virtual void Add() = 0;
  virtual void Remove() = 0;
};

struct ShellPorts {
  FetchService& fetch;
  ReferenceService& reference;
  ThemeAssetService& assets;
  TrayService& tray;
};

}  // namespace hw

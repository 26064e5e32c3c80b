#pragma once

#include "shell/shell_ports.h"

namespace hw {

// Stand-ins for the subsystems the desktop program does not have yet.
// FIXME: replaced one by one by the reference data, the theme pictures and the tray icon.
class IdleReferenceService final : public ReferenceService {
 public:
  void RefreshStationFile() override {}
  void ReloadReferenceData() override {}
  void LoadStations() override {}
};

// Without a picture loader the first required picture counts as missing.
class UnavailableThemeAssets final : public ThemeAssetService {
 public:
  int LoadThemeAssets() override { return -1; }
};

class IdleTray final : public TrayService {
 public:
  void Add() override {}
  void Remove() override {}
};

}  // namespace hw

#pragma once

#include "shell/shell_ports.h"

namespace hw {

// Stand-ins for the subsystems the desktop program does not have yet.
// FIXME: replaced one by one by the theme pictures and the tray icon.
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

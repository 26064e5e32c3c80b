#pragma once

#include "acquisition/fetch_service.h"
#include "display/theme_asset_service.h"
#include "refdata/reference_service.h"

namespace hw {

// The shell's calls into the subsystems that run beside it, each a small interface of its
// subsystem so that the shell runs in tests with recording fakes.

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

#pragma once

#include "shell/shell_ports.h"

namespace hw {

// Stand-ins for the subsystems the desktop program does not have yet.
// FIXME: replaced by the tray icon.
class IdleTray final : public TrayService {
 public:
  void Add() override {}
  void Remove() override {}
};

}  // namespace hw

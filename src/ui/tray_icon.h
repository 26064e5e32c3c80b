#pragma once

#include <QMenu>
#include <QSystemTrayIcon>

#include "shell/command_menu.h"
#include "shell/shell_ports.h"

namespace hw {

// The notification-area icon: the application icon with its tip; a right click opens the
// window's command menu with the marks of the moment. Qt shows it again when the desktop's tray
// comes back, and shows it when a tray appears after start-up.
class QtTrayIcon final : public TrayService {
 public:
  QtTrayIcon();

  void SetCommandTarget(CommandTarget* target);

  void Add() override;
  void Remove() override;
  void SetToolTip(std::u16string_view text) override;

  QSystemTrayIcon& icon() { return icon_; }
  QMenu& menu() { return menu_; }

 private:
  void RefreshMenu();

  CommandTarget* target_ = nullptr;
  QMenu menu_;
  QSystemTrayIcon icon_;
};

}  // namespace hw

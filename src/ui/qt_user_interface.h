#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include "shell/command_menu.h"
#include "shell/settings_dialog_link.h"
#include "shell/shell_ports.h"
#include "ui/settings_dialog.h"

namespace hw {

// The windows the main window's commands open, as Qt widgets owned by the main window.
class QtUserInterface final : public UserInterfaceService {
 public:
  // Documents are looked for in the working folder (the current folder), then in
  // `shippedFolder`, the installed runtime folder (none when empty).
  explicit QtUserInterface(QWidget& owner, QString shippedFolder = {});
  ~QtUserInterface() override;

  // Where chosen menu commands go and what the settings dialog works on: the main window's
  // logic, which exists only after the ports are made.
  void Connect(CommandTarget& commands, SettingsDialogLink& settings);
  // Closes the settings dialog and forgets the targets, before they go away.
  void Disconnect();

  void ShowContextMenu(const CommandMenu& menu, Point screen) override;
  void ShowAboutBox() override;
  bool OpenDocument(std::u16string_view fileName) override;
  void OpenSettingsDialog() override;

  QMenu& contextMenu() { return menu_; }
  CTremorlensConfig* settingsDialog() const { return settingsDialog_; }

 private:
  QWidget& owner_;
  QString shippedFolder_;
  CommandTarget* commands_ = nullptr;
  SettingsDialogLink* settings_ = nullptr;
  QMenu menu_;
  // The open settings dialog; Qt clears the pointer when the dialog is deleted.
  QPointer<CTremorlensConfig> settingsDialog_;
};

}  // namespace hw

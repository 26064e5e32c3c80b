#pragma once

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

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
  QtUserInterface(const QtUserInterface&) = delete;
  QtUserInterface& operator=(const QtUserInterface&) = delete;

  // Where chosen menu commands go and what the settings dialog works on: the main window's
  // logic, which exists only after the ports are made.
  void Connect(CommandTarget& commands, SettingsDialogLink& settings);
  // Closes the settings dialog and forgets the targets, before they go away.
  void Disconnect();

  void ShowContextMenu(const CommandMenu& menu, Point screen) override;
  void ShowAboutBox() override;
  void OpenDocument(std::u16string_view fileName, std::function<void()> cannotOpen) override;
  void OpenSettingsDialog() override;

  // Opens a file with the desktop's program and tells whether it could (tests replace it).
  using DocumentLauncher =
      std::function<void(const QString& path, QObject* context, std::function<void(bool)> done)>;
  void SetDocumentLauncher(DocumentLauncher launcher) { launcher_ = std::move(launcher); }

  QMenu& contextMenu() { return menu_; }
  // Where the settings dialog opens next: where it was closed, when that is still on a screen.
  std::optional<QPoint> dialogPlace() const { return dialogPlace_; }
  CTremorlensConfig* settingsDialog() const { return settingsDialog_; }

 private:
  // Beside the main window, so that the picture the dialog changes stays in view; or where the
  // user last had it.
  void PlaceSettingsDialog();

  QWidget& owner_;
  QString shippedFolder_;
  CommandTarget* commands_ = nullptr;
  SettingsDialogLink* settings_ = nullptr;
  QMenu menu_;
  // The open settings dialog; Qt clears the pointer when the dialog is deleted.
  QPointer<CTremorlensConfig> settingsDialog_;
  DocumentLauncher launcher_;
  std::optional<QPoint> dialogPlace_;
  // Owns the waits for documents being opened; replaced on Disconnect, so that no late answer
  // reaches logic that is gone.
  std::unique_ptr<QObject> openings_ = std::make_unique<QObject>();
};

}  // namespace hw

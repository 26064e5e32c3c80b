#include "ui/qt_user_interface.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <utility>

#include "ui/about_box.h"
#include "ui/command_menu_widget.h"
#include "ui/settings_dialog.h"

namespace hw {

QtUserInterface::QtUserInterface(QWidget& owner, QString shippedFolder)
    : owner_(owner), shippedFolder_(std::move(shippedFolder)) {}

QtUserInterface::~QtUserInterface() {
  Disconnect();
}

void QtUserInterface::Connect(CommandTarget& commands, SettingsDialogLink& settings) {
  commands_ = &commands;
  settings_ = &settings;
}

void QtUserInterface::Disconnect() {
  delete settingsDialog_.data();
  menu_.close();
  commands_ = nullptr;
  settings_ = nullptr;
}

void QtUserInterface::ShowContextMenu(const CommandMenu& menu, Point screen) {
  FillCommandMenu(menu_, menu, [this](int id) {
    if (commands_ != nullptr) commands_->OnCommand(id);
  });
  menu_.popup(QPoint(screen.x, screen.y));
}

void QtUserInterface::ShowAboutBox() {
  hw::ShowAboutBox(&owner_);
}

bool QtUserInterface::OpenDocument(std::u16string_view fileName) {
  const QString name = QString::fromUtf16(fileName.data(), static_cast<qsizetype>(fileName.size()));
  // A document in the language of the menus when there is one (the manual's translation), else
  // the one asked for; the user's copy in the working folder before the installed one.
  const QString translated = QCoreApplication::translate("Documents", name.toUtf8().constData());
  QList<QDir> folders{QDir::current()};
  if (!shippedFolder_.isEmpty()) folders.append(QDir(shippedFolder_));
  for (const QString& candidate : {translated, name}) {
    for (const QDir& folder : folders) {
      const QFileInfo file(folder, candidate);
      if (file.isFile() && file.isReadable())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    }
  }
  return false;
}

void QtUserInterface::OpenSettingsDialog() {
  if (settingsDialog_ != nullptr) {
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
    return;
  }
  if (settings_ == nullptr) return;
  settingsDialog_ = new CTremorlensConfig(*settings_, &owner_);
  settingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
  settingsDialog_->show();
}

}  // namespace hw

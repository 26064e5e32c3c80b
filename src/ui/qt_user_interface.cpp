#include "ui/qt_user_interface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <utility>
#include <vector>

#include "platform/qt/desktop_opener.h"
#include "platform/screen_fit.h"
#include "ui/about_box.h"
#include "ui/command_menu_widget.h"
#include "ui/settings_dialog.h"

namespace hw {

QtUserInterface::QtUserInterface(QWidget& owner, QString shippedFolder)
    : owner_(owner), shippedFolder_(std::move(shippedFolder)), launcher_(OpenWithDesktop) {}

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
  openings_ = std::make_unique<QObject>();
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

void QtUserInterface::OpenDocument(std::u16string_view fileName, std::function<void()> cannotOpen) {
  const QString name = QString::fromUtf16(fileName.data(), static_cast<qsizetype>(fileName.size()));
  // A document in the language of the menus when there is one (the manual's translation), else
  // the one asked for; the user's copy in the working folder before the installed one.
  const QString translated = QCoreApplication::translate("Documents", name.toUtf8().constData());
  QList<QDir> folders{QDir::current()};
  if (!shippedFolder_.isEmpty()) folders.append(QDir(shippedFolder_));
  for (const QString& candidate : {translated, name}) {
    for (const QDir& folder : folders) {
      const QFileInfo file(folder, candidate);
      if (!file.isFile() || !file.isReadable()) continue;
      launcher_(file.absoluteFilePath(), openings_.get(),
                [cannotOpen = std::move(cannotOpen)](bool opened) {
                  if (!opened) cannotOpen();
                });
      return;
    }
  }
  cannotOpen();
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
  settingsDialog_->SetPlaceKeeper([this](const QPoint& place) { dialogPlace_ = place; });
  PlaceSettingsDialog();
  settingsDialog_->show();
}

void QtUserInterface::PlaceSettingsDialog() {
  CTremorlensConfig& dialog = *settingsDialog_;
  dialog.adjustSize();
  // The dialog's frame is not known before it is shown; the window manager gives it the frame
  // it gave the main window, as far as the placement needs to know.
  const QRect ownerFrame = owner_.frameGeometry();
  const QRect ownerClient = owner_.geometry();
  const QSize frame(ownerFrame.width() - ownerClient.width(),
                    ownerFrame.height() - ownerClient.height());
  const Size outer{dialog.width() + frame.width(), dialog.height() + frame.height()};
  std::vector<Rect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    screens.push_back(
        {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
  }
  const QScreen* primary = QGuiApplication::primaryScreen();
  const QRect work = primary != nullptr ? primary->availableGeometry() : QRect(0, 0, 1920, 1080);
  const Rect workArea{work.left(), work.top(), work.left() + work.width(),
                      work.top() + work.height()};
  if (dialogPlace_) {
    const Rect kept{dialogPlace_->x(), dialogPlace_->y(), dialogPlace_->x() + outer.width,
                    dialogPlace_->y() + outer.height};
    if (BringOntoScreens(kept, screens, workArea) == kept) {
      dialog.move(*dialogPlace_);
      return;
    }
  }
  const Rect anchor{ownerFrame.left(), ownerFrame.top(), ownerFrame.left() + ownerFrame.width(),
                    ownerFrame.top() + ownerFrame.height()};
  const Rect placed = PlaceBeside(anchor, outer, screens, workArea);
  dialog.move(placed.left, placed.top);
}

}  // namespace hw

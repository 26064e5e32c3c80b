#include "ui/tray_icon.h"

#include "platform/qt/app_icon.h"
#include "ui/command_menu_widget.h"

namespace hw {

QtTrayIcon::QtTrayIcon() {
  icon_.setIcon(AppIcon());
  icon_.setToolTip(QStringLiteral("Heronwatch"));
  // The menu is filled each time it opens, so its marks follow the modes changed by keys.
  QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] { RefreshMenu(); });
  icon_.setContextMenu(&menu_);
}

void QtTrayIcon::SetCommandTarget(CommandTarget* target) {
  target_ = target;
  RefreshMenu();
}

void QtTrayIcon::RefreshMenu() {
  if (target_ == nullptr) {
    menu_.clear();
    return;
  }
  FillCommandMenu(menu_, target_->CurrentMenu(), [this](int id) {
    if (target_ != nullptr) target_->OnCommand(id);
  });
}

void QtTrayIcon::Add() {
  icon_.show();
}

void QtTrayIcon::Remove() {
  icon_.hide();
}

void QtTrayIcon::SetToolTip(std::u16string_view text) {
  icon_.setToolTip(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace hw

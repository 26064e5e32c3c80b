#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

#include "shell/shell_ports.h"

class QSystemTrayIcon;

namespace hw {

// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus). The call is asynchronous; when the bus or the service is missing, or the
// call fails, the tray icon shows the message instead. A sound, when given, is played by a
// command-line player in its own process, so nothing here waits.
class DesktopNotifier final : public QObject, public NotificationService {
 public:
  // `tray` shows the fallback message; it may be null, and then a failed call is only logged.
  DesktopNotifier(QSystemTrayIcon* tray, QDBusConnection bus = QDBusConnection::sessionBus());

  void Notify(const Notification& notification) override;

  // Called with the outcome of each Notify: true when the service took it, false when the tray
  // showed it instead. Tests wait on it.
  void SetOutcomeObserver(std::function<void(bool delivered)> observer);

 private:
  void ShowInTray(const QString& summary, const QString& body);
  static void PlaySound(const QString& path);

  QSystemTrayIcon* tray_;
  QDBusConnection bus_;
  std::function<void(bool)> observer_;
};

}  // namespace hw

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "platform/event_sound.h"
#include "shell/command_menu.h"
#include "shell/shell_ports.h"

class QSystemTrayIcon;

namespace hw {

// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus), the desktop's way: the program's icon, the report's urgency, the desktop
// entry, one notification per earthquake (a later report replaces the earlier one), a default
// action that brings the window forward, and the chime played by the service when it plays
// sounds (its do-not-disturb applies), else as an event sound of the program. Every call is
// asynchronous: nothing here waits for the bus, the service or the sound. When the bus or the
// service is missing, or a call fails, the tray icon shows the message instead.
class DesktopNotifier final : public QObject, public NotificationService {
  Q_OBJECT

 public:
  // `tray` shows the fallback message; it may be null, and then a failed call is only logged.
  // `sound` plays the chimes the service does not play.
  DesktopNotifier(QSystemTrayIcon* tray, EventSound& sound,
                  QDBusConnection bus = QDBusConnection::sessionBus());

  void Notify(const Notification& notification) override;

  // Where the default action, and a click on the tray's message, sends kCommandShowWindow;
  // null for nowhere.
  void SetCommandTarget(CommandTarget* target);

  // Called with the outcome of each Notify: true when the service took it, false when the tray
  // showed it instead.
  void SetOutcomeObserver(std::function<void(bool delivered)> observer);

 private Q_SLOTS:
  // The service's signals, delivered in this object's (the user interface's) thread.
  void OnActionInvoked(uint id, const QString& actionKey);
  void OnNotificationClosed(uint id, uint reason);

  // NOLINTNEXTLINE(readability-redundant-access-specifiers): Q_SLOTS above is a section of its own.
 private:
  // The notification shown for one earthquake.
  struct Shown {
    uint id = 0;                            // the service's, 0 before its answer
    bool sending = false;                   // a call waits for its answer
    std::optional<Notification> following;  // the newest report that came meanwhile
  };

  void AskCapabilities();
  void Send(const Notification& notification);
  QVariantMap Hints(const Notification& notification, bool servicePlays) const;
  void Fallback(const Notification& notification);
  void ShowInTray(const Notification& notification);
  // Plays the chime here, unless the service says the user asked not to be disturbed.
  void PlayHere(const Notification& notification);
  void Forget(uint id);

  QSystemTrayIcon* tray_;
  EventSound& sound_;
  QDBusConnection bus_;
  CommandTarget* target_ = nullptr;
  std::function<void(bool)> observer_;
  // The icon's name when the desktop can find it among the installed icons, else empty and
  // its picture (the "image-data" hint) goes with each notification.
  QString iconName_;
  QVariant iconPicture_;
  std::optional<QStringList> capabilities_;  // the service's, once it answered
  bool asking_ = false;
  std::deque<Notification> waiting_;      // for the capabilities
  std::map<std::uint32_t, Shown> shown_;  // by earthquake
  // The ids the service gave, the latest last: an action may come after its notification
  // was closed.
  std::deque<uint> givenIds_;
};

}  // namespace hw

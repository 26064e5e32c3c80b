#include "ui/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QVariantMap>
#include <cstdio>
#include <utility>

#include "platform/file_system.h"

namespace hw {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// How long the tray's message stays, in milliseconds.
constexpr int kTrayMessageMs = 10000;

}  // namespace

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* tray, QDBusConnection bus)
    : tray_(tray), bus_(std::move(bus)) {}

void DesktopNotifier::SetOutcomeObserver(std::function<void(bool)> observer) {
  observer_ = std::move(observer);
}

void DesktopNotifier::Notify(const Notification& notification) {
  const QString summary = QString::fromStdU16String(notification.summary);
  const QString body = QString::fromStdU16String(notification.body);
  if (!notification.soundFile.empty()) {
    PlaySound(QString::fromStdString(NativePath(notification.soundFile)));
  }
  if (!bus_.isConnected()) {
    ShowInTray(summary, body);
    return;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  // Notify(app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout).
  call << QStringLiteral("Heronwatch") << 0U << QStringLiteral("dialog-warning") << summary << body
       << QStringList()
       << QVariantMap{{QStringLiteral("urgency"),
                       QVariant::fromValue(static_cast<uchar>(notification.urgent ? 2 : 1))}}
       << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, summary, body] {
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
      std::fprintf(stderr, "heronwatch: notification service: %s\n",
                   qPrintable(reply.error().message()));
      ShowInTray(summary, body);
      return;
    }
    if (observer_) observer_(true);
  });
}

void DesktopNotifier::ShowInTray(const QString& summary, const QString& body) {
  if (tray_ != nullptr) tray_->showMessage(summary, body, QSystemTrayIcon::Warning, kTrayMessageMs);
  if (observer_) observer_(false);
}

void DesktopNotifier::PlaySound(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    std::fprintf(stderr, "heronwatch: notification sound %s not found\n", qPrintable(path));
    return;
  }
  for (const char* player : {"paplay", "aplay"}) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(player));
    if (program.isEmpty()) continue;
    QStringList arguments;
    if (QString::fromLatin1(player) == QStringLiteral("aplay")) arguments << QStringLiteral("-q");
    arguments << path;
    if (!QProcess::startDetached(program, arguments)) {
      std::fprintf(stderr, "heronwatch: cannot start %s\n", player);
    }
    return;
  }
}

}  // namespace hw

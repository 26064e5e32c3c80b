#include "ui/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/autostart_entry.h"
#include "platform/file_system.h"
#include "platform/qt/app_icon.h"

namespace hw {

// The picture of a notification when its icon is not installed: the "image-data" hint,
// (iiibiiay) as the notification service reads it.
struct NotificationImage {
  int width = 0;
  int height = 0;
  int rowStride = 0;
  bool hasAlpha = true;
  int bitsPerSample = 8;
  int channels = 4;
  QByteArray data;
};

QDBusArgument& operator<<(QDBusArgument& out, const NotificationImage& image) {
  out.beginStructure();
  out << image.width << image.height << image.rowStride << image.hasAlpha << image.bitsPerSample
      << image.channels << image.data;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, NotificationImage& image) {
  in.beginStructure();
  in >> image.width >> image.height >> image.rowStride >> image.hasAlpha >> image.bitsPerSample >>
      image.channels >> image.data;
  in.endStructure();
  return in;
}

}  // namespace hw

Q_DECLARE_METATYPE(hw::NotificationImage)

namespace hw {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");

// How long a call waits for the service's answer, in milliseconds: one that answers does so
// at once; a hung one gets the tray's message after this instead of after D-Bus's 25 seconds.
constexpr int kCallTimeoutMs = 5000;
// How long the tray's message stays, in milliseconds.
constexpr int kTrayMessageMs = 10000;
// The size of the picture sent when the icon is not installed.
constexpr int kImageSize = 64;
// Notifications remembered for replacing, beyond which the oldest earthquake's is forgotten.
constexpr std::size_t kRememberedNotifications = 16;
// Ids whose action is still taken.
constexpr std::size_t kRememberedIds = 64;

// The icon's name when the installed hicolor icons hold it where the desktop looks
// ($XDG_DATA_HOME and $XDG_DATA_DIRS), so that the notification service finds it by name.
QString InstalledIconName() {
  const QString id = QString::fromLatin1(DesktopEntryId());
  for (const char* size : {"48x48", "64x64", "128x128", "256x256", "32x32"}) {
    const QString file =
        QStringLiteral("icons/hicolor/%1/apps/%2.png").arg(QLatin1String(size), id);
    if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation, file).isEmpty()) return id;
  }
  return {};
}

NotificationImage IconImage() {
  const QImage icon = AppIconImage(kImageSize).convertToFormat(QImage::Format_RGBA8888);
  NotificationImage image;
  image.width = icon.width();
  image.height = icon.height();
  image.rowStride = static_cast<int>(icon.bytesPerLine());
  image.data = QByteArray(reinterpret_cast<const char*>(icon.constBits()),
                          static_cast<qsizetype>(icon.sizeInBytes()));
  return image;
}

// The chime as an absolute path (the service runs elsewhere); empty for none.
QString SoundPath(const Notification& notification) {
  if (notification.soundFile.empty()) return {};
  return QFileInfo(QString::fromStdString(NativePath(notification.soundFile))).absoluteFilePath();
}

}  // namespace

DesktopNotifier::DesktopNotifier(QSystemTrayIcon* tray, EventSound& sound, QDBusConnection bus)
    : tray_(tray), sound_(sound), bus_(std::move(bus)), iconName_(InstalledIconName()) {
  qDBusRegisterMetaType<NotificationImage>();
  if (iconName_.isEmpty()) iconPicture_ = QVariant::fromValue(IconImage());
  if (bus_.isConnected()) {
    // From any sender: naming the service would make Qt ask the bus for its owner and wait.
    bus_.connect(QString(), kPath, kService, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    bus_.connect(QString(), kPath, kService, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnNotificationClosed(uint, uint)));
  }
  if (tray_ != nullptr) {
    connect(tray_, &QSystemTrayIcon::messageClicked, this, [this] {
      if (target_ != nullptr) target_->OnCommand(kCommandShowWindow);
    });
  }
}

void DesktopNotifier::SetCommandTarget(CommandTarget* target) {
  target_ = target;
}

void DesktopNotifier::SetOutcomeObserver(std::function<void(bool)> observer) {
  observer_ = std::move(observer);
}

void DesktopNotifier::Notify(const Notification& notification) {
  if (!bus_.isConnected()) {
    Fallback(notification);
    return;
  }
  if (!capabilities_) {
    waiting_.push_back(notification);
    AskCapabilities();
    return;
  }
  Send(notification);
}

void DesktopNotifier::AskCapabilities() {
  if (asking_) return;
  asking_ = true;
  const QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"));
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
    watcher->deleteLater();
    asking_ = false;
    const QDBusPendingReply<QStringList> reply = *watcher;
    std::deque<Notification> waiting = std::exchange(waiting_, {});
    if (reply.isError()) {
      // No service now; the next notification asks again.
      std::fprintf(stderr, "heronwatch: notification service: %s\n",
                   qPrintable(reply.error().message()));
      for (const Notification& notification : waiting) {
        Fallback(notification);
      }
      return;
    }
    capabilities_ = reply.value();
    for (const Notification& notification : waiting) {
      Send(notification);
    }
  });
}

void DesktopNotifier::Send(const Notification& notification) {
  Shown* shown = nullptr;
  if (notification.earthquake != 0) {
    if (shown_.size() >= kRememberedNotifications && !shown_.contains(notification.earthquake)) {
      shown_.erase(shown_.begin());
    }
    shown = &shown_[notification.earthquake];
    if (shown->sending) {
      // The earlier notification's id is on its way: this one replaces it once it is known.
      shown->following = notification;
      return;
    }
    shown->sending = true;
  }
  const QString sound = SoundPath(notification);
  const bool servicePlays = !sound.isEmpty() && QFileInfo(sound).isFile() &&
                            capabilities_->contains(QStringLiteral("sound"));
  if (!sound.isEmpty() && !servicePlays) PlayHere(notification);

  const QString summary = QString::fromStdU16String(notification.summary);
  const QString body = QString::fromStdU16String(notification.body);
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  // Notify(app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout).
  call << QStringLiteral("Heronwatch") << (shown != nullptr ? shown->id : 0U) << iconName_
       << summary << body
       << QStringList{kDefaultAction,
                      QCoreApplication::translate("DesktopNotifier", "ウインドウを表示")}
       << Hints(notification, servicePlays) << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
  const std::uint32_t earthquake = notification.earthquake;
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, watcher, notification, servicePlays, earthquake] {
            watcher->deleteLater();
            const QDBusPendingReply<uint> reply = *watcher;
            const auto entry = shown_.find(earthquake);
            Shown* shown = earthquake != 0 && entry != shown_.end() ? &entry->second : nullptr;
            if (reply.isError()) {
              std::fprintf(stderr, "heronwatch: notification service: %s\n",
                           qPrintable(reply.error().message()));
              // The service may have gone or changed: asked again next time.
              capabilities_.reset();
              ShowInTray(notification);
              if (servicePlays) PlayHere(notification);
            } else {
              givenIds_.push_back(reply.value());
              if (givenIds_.size() > kRememberedIds) givenIds_.pop_front();
              if (shown != nullptr) shown->id = reply.value();
              if (observer_) observer_(true);
            }
            if (shown == nullptr) return;
            shown->sending = false;
            if (std::optional<Notification> following = std::exchange(shown->following, {})) {
              Notify(*following);
            }
          });
}

QVariantMap DesktopNotifier::Hints(const Notification& notification, bool servicePlays) const {
  QVariantMap hints{
      {QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(notification.urgency))},
      {QStringLiteral("desktop-entry"), QString::fromLatin1(DesktopEntryId())},
  };
  if (iconName_.isEmpty()) hints.insert(QStringLiteral("image-data"), iconPicture_);
  if (servicePlays) {
    hints.insert(QStringLiteral("sound-file"), SoundPath(notification));
  } else {
    // No chime, or one played here: the service adds no sound of its own.
    hints.insert(QStringLiteral("suppress-sound"), true);
  }
  return hints;
}

void DesktopNotifier::Fallback(const Notification& notification) {
  ShowInTray(notification);
  if (!notification.soundFile.empty()) PlayHere(notification);
}

void DesktopNotifier::ShowInTray(const Notification& notification) {
  if (tray_ != nullptr) {
    tray_->showMessage(QString::fromStdU16String(notification.summary),
                       QString::fromStdU16String(notification.body), AppIcon(), kTrayMessageMs);
  }
  if (observer_) observer_(false);
}

void DesktopNotifier::PlayHere(const Notification& notification) {
  const std::string path = SoundPath(notification).toStdString();
  // A service that can be asked not to disturb (the "inhibitions" capability) says whether the
  // user did; a chime then stays silent.
  if (!bus_.isConnected() || !capabilities_ ||
      !capabilities_->contains(QStringLiteral("inhibitions"))) {
    sound_.Play(path);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  call << kService << QStringLiteral("Inhibited");
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path] {
    watcher->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *watcher;
    if (!reply.isError() && reply.value().variant().toBool()) {
      std::fprintf(stderr, "heronwatch: the desktop asks not to be disturbed; no chime\n");
      return;
    }
    sound_.Play(path);
  });
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& actionKey) {
  // The signal reaches every program on the bus that listens: only ours count.
  if (id == 0 || actionKey != kDefaultAction || target_ == nullptr) return;
  if (std::find(givenIds_.begin(), givenIds_.end(), id) != givenIds_.end()) {
    target_->OnCommand(kCommandShowWindow);
  }
}

void DesktopNotifier::OnNotificationClosed(uint id, uint /*reason*/) {
  Forget(id);
}

void DesktopNotifier::Forget(uint id) {
  if (id == 0) return;
  // A later report of that earthquake shows a new notification instead of replacing one that
  // is gone (the service may give its id to another notification).
  for (auto& [earthquake, shown] : shown_) {
    if (shown.id == id) shown.id = 0;
  }
}

}  // namespace hw

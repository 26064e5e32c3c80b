#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

namespace hw {

// The running copy's door: a local socket beside the single-instance lock. A second start
// knocks, and the running copy brings its window to the front instead of the second one
// showing a message under it.
class InstanceDoor final : public QObject {
 public:
  // Listens at `path` from now on; `onKnock` runs on the event loop at each knock. A socket
  // left by a copy that died is replaced: this process holds the lock. False when it cannot
  // listen (the program then runs without a door).
  bool Listen(const QString& path, std::function<void()> onKnock);

  // Asks the copy that listens at `path` to show its window. True when it said it would
  // within `timeoutMs`; `stop` is asked between short waits and ends the wait at once.
  static bool Knock(const QString& path, int timeoutMs, const std::function<bool()>& stop);

 private:
  QLocalServer server_;
  std::function<void()> onKnock_;
};

}  // namespace hw

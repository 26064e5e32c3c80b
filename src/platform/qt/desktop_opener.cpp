#include "platform/qt/desktop_opener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

namespace hw {
namespace {

// An opener that fails says so at once; one still running this long after its start is
// showing the file (xdg-open often waits for the viewer it started).
constexpr int kVerdictMs = 5000;
constexpr int kPollMs = 100;
// How often an opener that outlived the verdict is looked for, so that it leaves no zombie.
constexpr int kReapMs = 1000;

// Starts `program file` in a session of its own, its input from /dev/null; -1 when it
// cannot be started.
pid_t Spawn(const QByteArray& program, const QByteArray& file) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  char* arguments[] = {const_cast<char*>(program.constData()), const_cast<char*>(file.constData()),
                       nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, program.constData(), &actions, &attributes, arguments, environ) != 0) {
    pid = -1;
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace

void OpenWithDesktop(const QString& path, QObject* context, std::function<void(bool)> done) {
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  const pid_t pid =
      opener.isEmpty() ? -1 : Spawn(QFile::encodeName(opener), QFile::encodeName(path));
  if (pid < 0) {
    // No opener of our own: whatever Qt knows of the desktop, which cannot tell a late failure.
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    QTimer::singleShot(0, context, [done = std::move(done), opened] { done(opened); });
    return;
  }
  auto* timer = new QTimer(context);
  auto told = std::make_shared<bool>(false);
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, timer, [=, done = std::move(done)] {
    *waited += timer->interval();
    int status = 0;
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid || ended < 0) {
      if (!*told) done(ended == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
      timer->deleteLater();
      timer->stop();
      return;
    }
    if (!*told && *waited >= kVerdictMs) {
      *told = true;
      done(true);
      timer->setInterval(kReapMs);
    }
  });
  timer->start(kPollMs);
}

}  // namespace hw

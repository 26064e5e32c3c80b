#include "platform/qt/close_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace hw {
namespace {

// Process-wide by nature: a signal handler can reach nothing else.
std::atomic<bool> signalled{false};
int wakeRead = -1;
int wakeWrite = -1;

void OnCloseSignal(int) {
  const int savedErrno = errno;
  signalled.store(true);
  if (wakeWrite >= 0) {
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

void InstallCloseSignals() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead = fds[0];
    wakeWrite = fds[1];
  }
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    ::sigaction(signal, &action, nullptr);
  }
}

bool CloseSignalPending() {
  return signalled.load();
}

void WatchCloseSignals(QObject& context, const std::function<void()>& onSignal) {
  if (wakeRead >= 0) {
    auto* notifier = new QSocketNotifier(wakeRead, QSocketNotifier::Read, &context);
    QObject::connect(notifier, &QSocketNotifier::activated, &context, [onSignal] {
      char bytes[64];
      while (::read(wakeRead, bytes, sizeof bytes) > 0) {
      }
      onSignal();
    });
  }
}

}  // namespace hw

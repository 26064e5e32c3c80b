#pragma once

#include <functional>

class QObject;

namespace hw {

// SIGTERM, SIGINT and SIGHUP (a logout, a service stop, Ctrl+C, a closed terminal) end the
// program as its exit command does, so that the settings are written back on the way out.
//
// The handlers are installed by the first line of main(), before anything slow: a signal that
// comes while the program is still starting is remembered and acted on as soon as a watcher
// exists. The handler only records the signal and writes a byte to a pipe, which is all a
// signal handler may safely do; the event loop reads the pipe.
void InstallCloseSignals();

// True once one of the signals has come.
bool CloseSignalPending();

// Calls `onSignal` on the event loop of `context`'s thread, at its next turn, when a signal
// comes while `context` lives or came before (the pipe keeps the byte until it is read).
void WatchCloseSignals(QObject& context, const std::function<void()>& onSignal);

}  // namespace hw

#pragma once

#include <functional>
#include <string>

namespace hw {

// How a peer on the desktop's session bus behaved when asked.
enum class BusAnswer {
  kAnswers,  // it answered in time
  kSilent,   // it took the question and never answered: a stopped or hung process
  kAbsent,   // there is none to ask (no address, nothing listens, no such service), or it
             // cannot be asked without the D-Bus library; the library fails as fast
};

struct SessionBusProbe {
  BusAnswer bus = BusAnswer::kAbsent;
  // The tray host (org.kde.StatusNotifierWatcher), asked only when the bus answers.
  BusAnswer trayHost = BusAnswer::kAbsent;
};

// The address the D-Bus library connects to as the session bus: $DBUS_SESSION_BUS_ADDRESS, or
// the user's bus socket $XDG_RUNTIME_DIR/bus when it exists; empty for neither.
std::string SessionBusAddress();

// Asks the session bus at `address` (unix:path= and unix:abstract= addresses) to say hello
// and then the tray host whether a tray is registered, as the desktop's libraries will do
// without a time-out: a bus that accepts connections but never answers would hold the
// program forever. Each question waits at most `timeoutMs`; `stop` is asked between waits and
// ends the probe at once when it returns true (the bus then counts as silent).
SessionBusProbe ProbeSessionBus(const std::string& address, int timeoutMs,
                                const std::function<bool()>& stop);

}  // namespace hw

#pragma once

#include <functional>

#include "platform/instance_lock.h"
#include "platform/window_host.h"

namespace hw {

// The name of the per-user single-instance guard.
inline constexpr const char* kInstanceLockName = "Heronwatch.exe";

// The application object: refuses a second copy, otherwise runs the main window until it
// closes.
class CTremorlensApp {
 public:
  // `showRunningCopy` asks the copy that runs already to bring its window to the front and
  // says whether it answered.
  CTremorlensApp(InstanceLock& lock, WindowHost& messages, std::function<bool()> showRunningCopy,
                 std::function<void()> runMainWindow)
      : lock_(lock),
        messages_(messages),
        showRunningCopy_(std::move(showRunningCopy)),
        runMainWindow_(std::move(runMainWindow)) {}

  // Always false: the application ends when this returns. A second copy brings the running
  // copy's window to the front; only when that copy does not answer does it say that one runs.
  bool InitInstance();

 private:
  InstanceLock& lock_;
  WindowHost& messages_;
  std::function<bool()> showRunningCopy_;
  std::function<void()> runMainWindow_;
};

}  // namespace hw

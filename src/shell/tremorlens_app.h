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
  CTremorlensApp(InstanceLock& lock, WindowHost& messages, std::function<void()> runMainWindow)
      : lock_(lock), messages_(messages), runMainWindow_(std::move(runMainWindow)) {}

  // Always false: the application ends when this returns.
  bool InitInstance();

 private:
  InstanceLock& lock_;
  WindowHost& messages_;
  std::function<void()> runMainWindow_;
};

}  // namespace hw

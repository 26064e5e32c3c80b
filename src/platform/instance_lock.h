#pragma once

#include <memory>
#include <string>

namespace hw {

// Guards against a second running copy of the program for the same user. The lock is held
// until the process ends; the system releases it when the process dies, so a crashed run
// never blocks the next start.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this process now owns the lock named `name`; false when another process has it.
  virtual bool TryAcquire(const std::string& name) = 0;
  // Where the copy that holds the lock listens for a second start (a local socket beside the
  // lock), once TryAcquire was asked; empty when the lock has no folder.
  virtual std::string DoorPath() const { return {}; }
};

// The platform's lock (an advisory file lock in the user's runtime folder).
std::unique_ptr<InstanceLock> MakeSystemInstanceLock();

}  // namespace hw

#include "shell/tremorlens_app.h"

namespace hw {

bool CTremorlensApp::InitInstance() {
  if (!lock_.TryAcquire(kInstanceLockName)) {
    if (!showRunningCopy_ || !showRunningCopy_()) {
      messages_.MessageBox(u"このアプリは起動済みです。", u"Heronwatch");
    }
    return false;
  }
  runMainWindow_();
  return false;
}

}  // namespace hw

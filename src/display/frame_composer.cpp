#include "display/frame_composer.h"

#include "platform/window_host.h"
#include "shell/app_context.h"

namespace hw {

void FrameComposer::ComposeFrame() {
  // FIXME: the map, marker, box and table layers are drawn here once they exist; until then
  // the pages keep what they hold and only the repaint is requested.
  static_cast<void>(context_);
  static_cast<void>(text_);
  window_.InvalidateRect();
}

}  // namespace hw

#include "fakes/fake_window_host.h"

namespace hw::test {

Rect FakeWindowHost::GetClientRect() {
  const bool framed = (style & kFrameStyleBits) != 0;
  const int width = placement.normal.Width() - (framed ? frameWidth : 0);
  const int height = placement.normal.Height() - (framed ? frameHeight : 0);
  return {0, 0, width, height};
}

}  // namespace hw::test

#include "platform/window_host.h"
#include "shell/tremorlens_dlg.h"

namespace hw {

// The first placement: the [Position] rectangle with the frame, then the frame hidden when
// [Flag] FlameOff asks. A window manager frames the window only after it is shown, so until its
// frame size is known a frame that is to be hidden stays (the window is still invisible): hiding
// it then would lose the size the client area must keep.
void CTremorlensDlg::PlaceWindowAtStart() {
  LoopState& loop = context_.loop;
  WindowHost& window = platform_.window;
  const AppSettings& settings = context_.settings;
  const FrameExtents extents = window.GetFrameExtents();
  loop.FrameExtraWidth = extents.width;
  loop.FrameExtraHeight = extents.height;

  WindowPlacement placement = window.GetWindowPlacement();
  placement.normal = {settings.Left, settings.Top, settings.Right, settings.Bottom};
  window.SetWindowPlacement(placement);
  if (settings.FlameOff == 1 && !extents.known) return;
  ApplyFrameStyle(placement);
  window.SetWindowPlacement(placement);
}

// Shows or hides the frame as [Flag] FlameOff asks; a hidden frame shrinks the rectangle so
// that the client area keeps the size of a framed window's.
void CTremorlensDlg::ApplyFrameStyle(WindowPlacement& placement) {
  WindowHost& window = platform_.window;
  const std::uint32_t style = window.GetStyle();
  if (context_.settings.FlameOff == 1) {
    placement.normal.bottom -= context_.loop.FrameExtraHeight;
    placement.normal.right -= context_.loop.FrameExtraWidth;
    if ((style & kFrameStyleBits) != 0) {
      window.SetStyle(style & ~kFrameStyleBits);
      window.SetWindowPos(InsertAfter::Unchanged,
                          SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else if ((style & kFrameStyleBits) != kFrameStyleBits) {
    window.SetStyle(style | kFrameStyleBits);
    window.SetWindowPos(InsertAfter::Unchanged,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

// The stored rectangle placed again, with the frame shown or hidden as the flag asks.
void CTremorlensDlg::PlaceStoredRectangle() {
  const AppSettings& settings = context_.settings;
  WindowPlacement placement = platform_.window.GetWindowPlacement();
  placement.normal = {settings.Left, settings.Top, settings.Right, settings.Bottom};
  ApplyFrameStyle(placement);
  platform_.window.SetWindowPlacement(placement);
}

// The frame size comes from the window manager once it has framed the window. Until the window
// is shown, the stored rectangle is placed again with it, so that the client area gets the size
// the rectangle implies; later the window manager keeps the client size itself.
void CTremorlensDlg::OnFrameExtentsChanged() {
  const FrameExtents extents = platform_.window.GetFrameExtents();
  if (!extents.known) return;
  LoopState& loop = context_.loop;
  loop.FrameExtraWidth = extents.width;
  loop.FrameExtraHeight = extents.height;
  if (loop.StartupStage >= 1 && loop.StartupStage <= 40) PlaceStoredRectangle();
}

void CTremorlensDlg::ApplyTrackingSizes() {
  const AppSettings& settings = context_.settings;
  platform_.window.SetTrackingSizes({settings.MinX, settings.MinY}, {settings.MaxX, settings.MaxY});
}

void CTremorlensDlg::ApplyWindowGeometry() {
  const AppSettings& settings = context_.settings;
  WindowPlacement placement = platform_.window.GetWindowPlacement();
  placement.normal = {settings.Left, settings.Top, settings.Right, settings.Bottom};
  if (settings.FlameOff == 1) {
    placement.normal.right -= context_.loop.FrameExtraWidth;
    placement.normal.bottom -= context_.loop.FrameExtraHeight;
  }
  platform_.window.SetWindowPlacement(placement);
}

// The window's restored rectangle as a framed window would have it, also while the frame is
// hidden.
Rect CTremorlensDlg::FramedWindowRect() {
  Rect rect = platform_.window.GetWindowPlacement().normal;
  if (context_.settings.FlameOff == 1) {
    rect.bottom += context_.loop.FrameExtraHeight;
    rect.right += context_.loop.FrameExtraWidth;
  }
  return rect;
}

}  // namespace hw

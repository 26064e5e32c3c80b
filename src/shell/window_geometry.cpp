#include "platform/window_host.h"
#include "settings/app_settings.h"
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
  if (extents.known) FrameTheFirstPlacement();

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
  if (loop.StartupStage >= 1 && loop.StartupStage <= 40) {
    FrameTheFirstPlacement();
    PlaceStoredRectangle();
  }
}

// Without a stored rectangle the window opens with a 16:9 client area, which shows the picture
// undistorted: the default rectangle grows by the frame once its size is known.
void CTremorlensDlg::FrameTheFirstPlacement() {
  if (!firstPlacement_) return;
  AppSettings& settings = context_.settings;
  const Rect rect = DefaultWindowRect(platform_.window.GetWorkArea(), context_.loop.FrameExtraWidth,
                                      context_.loop.FrameExtraHeight);
  settings.Left = rect.left;
  settings.Top = rect.top;
  settings.Right = rect.right;
  settings.Bottom = rect.bottom;
}

// [Position] follows the window wherever the window manager takes it, so that the settings
// dialog starts from where the window is and a later placement does not move it back. During
// start-up the window is still being placed from [Position], which stays as read.
void CTremorlensDlg::OnWindowRectChanged() {
  if (context_.loop.StartupStage < 41 || platform_.window.IsIconic()) return;
  const Rect framed = FramedWindowRect();
  AppSettings& settings = context_.settings;
  settings.Left = framed.left;
  settings.Top = framed.top;
  settings.Right = framed.right;
  settings.Bottom = framed.bottom;
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

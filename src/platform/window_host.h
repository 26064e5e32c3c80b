#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/geometry.h"
#include "platform/surface.h"

namespace hw {

// Window style bits the program switches: caption, sizing border and minimize box. Removing
// them hides the frame.
inline constexpr std::uint32_t kFrameStyleBits = 0x00C60000;

// Where SetWindowPos puts the window in the z-order.
enum class InsertAfter { Unchanged, Topmost, NoTopmost, Bottom };

enum SetWindowPosFlags : unsigned {
  SWP_NOSIZE = 0x0001,
  SWP_NOMOVE = 0x0002,
  SWP_NOZORDER = 0x0004,
  SWP_NOACTIVATE = 0x0010,
  SWP_FRAMECHANGED = 0x0020,
  SWP_SHOWWINDOW = 0x0040,
};

// Virtual-key codes of the keys the program reacts to.
enum VirtualKey : int {
  VK_RETURN = 0x0D,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,  // Alt
  VK_ESCAPE = 0x1B,
  VK_UP = 0x26,
  VK_DOWN = 0x28,
  VK_F1 = 0x70,
  VK_F2 = 0x71,
  VK_F5 = 0x74,
  VK_F6 = 0x75,
  VK_F7 = 0x76,
  VK_F8 = 0x77,
  VK_F9 = 0x78,
  VK_F10 = 0x79,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
};

// The size the window manager's frame adds to the client area: the framed window's width and
// height minus the client's. Unknown until the window manager has framed the window once.
struct FrameExtents {
  int width = 0;
  int height = 0;
  bool known = false;
  constexpr bool operator==(const FrameExtents&) const = default;
};

// The restored (normal) rectangle of the window, frame included, in workspace coordinates:
// the origin is the top-left corner of the desktop work area.
struct WindowPlacement {
  Rect normal;
  bool minimized = false;
  constexpr bool operator==(const WindowPlacement&) const = default;
};

// Where a repaint is asked for: the whole client area is painted again later, without being
// erased first.
class RepaintTarget {
 public:
  virtual ~RepaintTarget() = default;
  virtual void InvalidateRect() = 0;
  // Repaints later only the part of the client area that shows `area` of the picture whose
  // rectangle `source` fills the window. By default the whole client area.
  virtual void InvalidateArea(const Rect& area, const Rect& source) {
    static_cast<void>(area);
    static_cast<void>(source);
    InvalidateRect();
  }
};

// Everything the logic asks of its window. The Qt main window implements it; tests use a
// recording fake. All calls come from the user-interface thread.
class WindowHost : public RepaintTarget {
 public:
  virtual Rect GetWorkArea() = 0;  // screen minus task bar, screen coordinates
  virtual WindowPlacement GetWindowPlacement() = 0;
  virtual void SetWindowPlacement(const WindowPlacement& placement) = 0;
  virtual Rect GetClientRect() = 0;  // (0, 0, client width, client height)
  // The client area in the pixels a paint fills (device pixels on a scaled screen).
  virtual Size PaintSize() {
    const Rect client = GetClientRect();
    return {client.right - client.left, client.bottom - client.top};
  }
  virtual bool IsIconic() = 0;

  virtual std::uint32_t GetStyle() = 0;
  virtual void SetStyle(std::uint32_t style) = 0;
  virtual void SetWindowPos(InsertAfter insertAfter, unsigned flags) = 0;

  // Constant opacity of the whole window, 0 (invisible) to 255.
  virtual void SetLayeredAlpha(int alpha) = 0;

  virtual Point GetCursorPos() = 0;  // screen pixels
  // Whether the key is held down, as far as the window has seen its presses and releases.
  virtual bool IsKeyDown(int virtualKey) = 0;

  // The frame the window manager draws around the window while the frame style bits are set;
  // it stays known while the frame is hidden.
  virtual FrameExtents GetFrameExtents() = 0;
  // The smallest and largest size the user can give the window, frame included.
  virtual void SetTrackingSizes(Size minimum, Size maximum) = 0;

  // A message box with an OK button and the exclamation icon; returns when it is dismissed
  // (a test host returns at once and records the text).
  virtual void MessageBox(std::u16string_view text, std::u16string_view title) = 0;
  // Asks the window to close (WM_CLOSE): the modal run ends and shutdown follows.
  virtual void PostClose() = 0;

  // The window timer that drives the main loop (one timer per window).
  virtual void SetTimer(int periodMs) = 0;
  virtual void KillTimer() = 0;

  // Shows the window and runs its messages until it is closed; returns at once when a close
  // was already requested.
  virtual void RunModalLoop() = 0;

  // Brings the window to the user: restored when minimised, moved onto a screen when it is
  // mostly off them, raised above the other windows of its band and given the focus.
  virtual void BringToFront() {}
};

// What the window shows: a rectangle of a surface, stretched to the whole client area; or,
// while the window is minimised, the application icon. `damage` is the part of the surface
// that changed since the last paint.
struct PaintSource {
  const Surface* surface = nullptr;
  Rect source;
  Rect damage;
  bool iconic = false;
};

// The window's events as the logic handles them.
class WindowEventSink {
 public:
  virtual ~WindowEventSink() = default;
  virtual void OnTimer() = 0;
  virtual PaintSource OnPaint() = 0;

  // A key press, not its repeats while it is held. `system` marks what Windows delivers as a
  // system key: any key pressed with Alt held, and F10.
  virtual void OnKeyDown(int virtualKey, bool system) {
    static_cast<void>(virtualKey);
    static_cast<void>(system);
  }
  // A right click or the menu key, at a screen position.
  virtual void OnContextMenu(Point screen) { static_cast<void>(screen); }
  virtual void OnLButtonDown() {}
  virtual void OnLButtonUp() {}
  // The close box or a close request; true lets the window close.
  virtual bool OnCloseRequest() { return true; }
  // The window manager framed the window, or its frame changed size.
  virtual void OnFrameExtentsChanged() {}
  // The restored window moved or changed size, by the window manager (its title bar, its
  // border, a change of screens) or by the logic's own placement.
  virtual void OnWindowRectChanged() {}
};

}  // namespace hw

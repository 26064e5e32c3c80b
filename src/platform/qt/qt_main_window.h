#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QTimer>
#include <QWidget>
#include <set>
#include <vector>

#include "platform/window_host.h"

class QScreen;

namespace hw {

// The main window: a plain top-level widget that shows the logic's picture stretched to its
// client area and forwards its timer, paint, key, mouse and close events. Win32-style frame
// bits and z-order requests are mapped onto Qt window flags; the placement rectangle includes
// the window manager's frame, as Win32's does.
class QtMainWindow final : public QWidget, public WindowHost {
  Q_OBJECT

 public:
  QtMainWindow();

  void SetEventSink(WindowEventSink* sink) { sink_ = sink; }

  // WindowHost
  Rect GetWorkArea() override;
  WindowPlacement GetWindowPlacement() override;
  void SetWindowPlacement(const WindowPlacement& placement) override;
  Rect GetClientRect() override;
  Size PaintSize() override;
  bool IsIconic() override;
  std::uint32_t GetStyle() override { return style_; }
  void SetStyle(std::uint32_t style) override;
  void SetWindowPos(InsertAfter insertAfter, unsigned flags) override;
  void SetLayeredAlpha(int alpha) override;
  void InvalidateRect() override { update(); }
  void InvalidateArea(const Rect& area, const Rect& source) override;
  Point GetCursorPos() override;
  bool IsKeyDown(int virtualKey) override { return heldKeys_.contains(virtualKey); }
  FrameExtents GetFrameExtents() override;
  void SetTrackingSizes(Size minimum, Size maximum) override;
  void MessageBox(std::u16string_view text, std::u16string_view title) override;
  void PostClose() override;
  void SetTimer(int periodMs) override;
  void KillTimer() override { timer_.stop(); }
  void RunModalLoop() override;
  void BringToFront() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool Framed() const { return (style_ & kFrameStyleBits) != 0; }
  // The frame around the client area as placements count it: the window manager's frame while
  // the frame is shown and its size is known, else none.
  QMargins PlacementMargins() const;
  // Learns the window manager's frame once it has framed the window, and tells the logic.
  void WatchFrameExtents();
  void ApplySizeLimits();
  void ApplyWindowFlags();
  // True while the window shows at its restored rectangle (not minimised, maximised or full
  // screen).
  bool Restored() const;
  void NotifyRectChanged();
  // Screens that come, go or change: checked once the changes of one moment are all in.
  void WatchScreen(QScreen* screen);
  void ScheduleScreenCheck();
  void OnScreensChanged();
  // Moves the window wholly onto a screen when it is mostly off them.
  void BringOntoScreens();
  std::vector<Rect> ScreenAreas() const;

  WindowEventSink* sink_ = nullptr;
  QTimer timer_;
  std::uint32_t style_;
  InsertAfter zOrder_ = InsertAfter::NoTopmost;
  QMargins frameMargins_;
  bool frameMarginsKnown_ = false;
  // A frame other than the known one, and since when it has been seen.
  QMargins changedFrame_;
  bool changedFrameSeen_ = false;
  QElapsedTimer changedFrameSince_;
  Size minimumSize_{1, 1};
  Size maximumSize_{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
  std::set<int> heldKeys_;
  // The picture stretched to the window's size, when the sizes differ, and the source
  // rectangle it was stretched from.
  Surface scaled_;
  Rect scaledFrom_;
  bool closeRequested_ = false;
  bool screenCheckPending_ = false;
};

}  // namespace hw

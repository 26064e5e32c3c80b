#pragma once

#include <QTimer>
#include <QWidget>
#include <vector>

#include "platform/window_host.h"

namespace hw {

// The main window: a plain top-level widget that shows the logic's picture stretched to its
// client area and forwards its timer and paint events. Win32-style frame bits and z-order
// requests are mapped onto Qt window flags.
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
  bool IsIconic() override;
  std::uint32_t GetStyle() override { return style_; }
  void SetStyle(std::uint32_t style) override;
  void SetWindowPos(InsertAfter insertAfter, unsigned flags) override;
  void SetLayeredAlpha(int alpha) override;
  void InvalidateRect() override { update(); }
  void InvalidateArea(const Rect& area, const Rect& source) override;
  Point GetCursorPos() override;
  void MessageBox(std::u16string_view text, std::u16string_view title) override;
  void PostClose() override;
  void SetTimer(int periodMs) override;
  void KillTimer() override { timer_.stop(); }
  void RunModalLoop() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPoint WorkAreaOrigin() const;
  void ApplyWindowFlags();

  WindowEventSink* sink_ = nullptr;
  QTimer timer_;
  std::uint32_t style_;
  InsertAfter zOrder_ = InsertAfter::NoTopmost;
  // The picture stretched to the window's size, when the sizes differ, and the source
  // rectangle it was stretched from.
  Surface scaled_;
  Rect scaledFrom_;
  bool closeRequested_ = false;
};

}  // namespace hw

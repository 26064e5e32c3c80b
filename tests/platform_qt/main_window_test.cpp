#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>
#include <vector>

#include "platform/qt/qt_main_window.h"
#include "platform/qt/virtual_key.h"

namespace hw {
namespace {

// Records what the window forwards.
class RecordingSink final : public WindowEventSink {
 public:
  void OnTimer() override {}
  PaintSource OnPaint() override { return {}; }
  void OnKeyDown(int key, bool system) override { keys.emplace_back(key, system); }
  void OnContextMenu(Point screen) override { menus.push_back(screen); }
  void OnLButtonDown() override { ++buttonDowns; }
  void OnLButtonUp() override { ++buttonUps; }
  bool OnCloseRequest() override {
    ++closeRequests;
    return allowClose;
  }

  std::vector<std::pair<int, bool>> keys;
  std::vector<Point> menus;
  int buttonDowns = 0;
  int buttonUps = 0;
  int closeRequests = 0;
  bool allowClose = false;
};

void Key(QWidget& window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {},
         bool autoRepeat = false) {
  QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
  QApplication::sendEvent(&window, &event);
}

TEST(VirtualKeys, QtKeysMapToTheirVirtualKeyCodes) {
  const std::pair<int, int> cases[] = {
      {Qt::Key_F1, VK_F1},
      {Qt::Key_F2, VK_F2},
      {Qt::Key_F5, VK_F5},
      {Qt::Key_F10, VK_F10},
      {Qt::Key_F12, VK_F12},
      {Qt::Key_Escape, VK_ESCAPE},
      {Qt::Key_Return, VK_RETURN},
      {Qt::Key_Enter, VK_RETURN},
      {Qt::Key_Alt, VK_MENU},
      {Qt::Key_Control, VK_CONTROL},
      {Qt::Key_Up, VK_UP},
      {Qt::Key_A, 0},
      {Qt::Key_F13, 0},
  };
  for (const auto& [qtKey, virtualKey] : cases) {
    EXPECT_EQ(VirtualKeyOf(qtKey), virtualKey) << qtKey;
  }
}

TEST(QtMainWindowEvents, KeysAreForwardedOncePerPressWithTheirSystemMark) {
  QtMainWindow window;
  RecordingSink sink;
  window.SetEventSink(&sink);
  Key(window, QEvent::KeyPress, Qt::Key_F2);
  Key(window, QEvent::KeyPress, Qt::Key_F2, {}, true);  // held: the press repeats
  Key(window, QEvent::KeyRelease, Qt::Key_F2);
  Key(window, QEvent::KeyPress, Qt::Key_F2);
  Key(window, QEvent::KeyRelease, Qt::Key_F2);
  Key(window, QEvent::KeyPress, Qt::Key_F10);
  Key(window, QEvent::KeyPress, Qt::Key_A);
  Key(window, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  Key(window, QEvent::KeyPress, Qt::Key_F12, Qt::AltModifier);
  EXPECT_TRUE(window.IsKeyDown(VK_MENU));
  EXPECT_TRUE(window.IsKeyDown(VK_F12));
  EXPECT_FALSE(window.IsKeyDown(VK_F2));
  const std::vector<std::pair<int, bool>> expected{
      {VK_F2, false}, {VK_F2, false}, {VK_F10, true}, {VK_MENU, true}, {VK_F12, true}};
  EXPECT_EQ(sink.keys, expected);

  // Keys released while another window has the focus are never seen: they count as released.
  QFocusEvent focusOut(QEvent::FocusOut);
  QApplication::sendEvent(&window, &focusOut);
  EXPECT_FALSE(window.IsKeyDown(VK_MENU));
  window.SetEventSink(nullptr);
}

TEST(QtMainWindowEvents, MouseMenuAndCloseGoToTheLogic) {
  QtMainWindow window;
  RecordingSink sink;
  window.SetEventSink(&sink);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(105, 205), Qt::LeftButton,
                    Qt::LeftButton, {});
  QApplication::sendEvent(&window, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(105, 205), Qt::LeftButton,
                      {}, {});
  QApplication::sendEvent(&window, &release);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(300, 400));
  QApplication::sendEvent(&window, &menu);
  EXPECT_EQ(sink.buttonDowns, 1);
  EXPECT_EQ(sink.buttonUps, 1);
  EXPECT_EQ(sink.menus, std::vector<Point>{(Point{300, 400})});

  window.show();
  EXPECT_FALSE(window.close());  // the logic refuses
  EXPECT_TRUE(window.isVisible());
  sink.allowClose = true;
  EXPECT_TRUE(window.close());
  EXPECT_EQ(sink.closeRequests, 2);
  window.SetEventSink(nullptr);
}

TEST(QtMainWindowModes, FrameAndZOrderBecomeWindowFlags) {
  QtMainWindow window;
  window.show();
  window.SetStyle(window.GetStyle() & ~kFrameStyleBits);
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
  window.SetWindowPos(InsertAfter::Topmost, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  window.SetWindowPos(InsertAfter::Bottom, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnBottomHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  window.SetWindowPos(InsertAfter::NoTopmost, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_FALSE(window.windowFlags() & (Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint));
  window.SetStyle(window.GetStyle() | kFrameStyleBits);
  EXPECT_FALSE(window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(window.isVisible());
}

TEST(QtMainWindowPlacement, RectanglesRoundTripAndLostWindowsComeBack) {
  QtMainWindow window;
  window.SetTrackingSizes({200, 150}, {1000, 800});
  EXPECT_EQ(window.minimumSize(), QSize(200, 150));  // no frame known: the client's limits
  window.SetWindowPlacement({{30, 40, 430, 340}, false});
  EXPECT_EQ(window.GetWindowPlacement().normal, (Rect{30, 40, 430, 340}));
  EXPECT_EQ(window.GetClientRect(), (Rect{0, 0, 400, 300}));

  // Smaller than the tracking size while framed, any size without the frame.
  window.SetWindowPlacement({{30, 40, 130, 90}, false});
  EXPECT_EQ(window.GetClientRect(), (Rect{0, 0, 200, 150}));
  window.SetStyle(window.GetStyle() & ~kFrameStyleBits);
  window.SetWindowPlacement({{30, 40, 130, 90}, false});
  EXPECT_EQ(window.GetClientRect(), (Rect{0, 0, 100, 50}));

  // A rectangle on a screen that is gone lands on the primary screen's work area.
  window.SetWindowPlacement({{20000, 40, 20400, 340}, false});
  const Rect work = window.GetWorkArea();
  const Rect placed = window.GetWindowPlacement().normal;
  EXPECT_EQ(placed.right, work.right - work.left);
  EXPECT_EQ(placed.Width(), 400);
}

}  // namespace
}  // namespace hw

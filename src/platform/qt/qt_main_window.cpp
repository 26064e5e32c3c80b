#include "platform/qt/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "platform/blit.h"
#include "platform/qt/app_icon.h"
#include "platform/qt/close_signals.h"
#include "platform/qt/virtual_key.h"
#include "platform/screen_fit.h"

namespace hw {
namespace {

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

Rect RectOf(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// Workspace coordinates have their origin at the top-left corner of the primary screen's work
// area, as on Windows, so that a window on another screen keeps its place there.
QPoint WorkAreaOrigin() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  return primary != nullptr ? primary->availableGeometry().topLeft() : QPoint();
}

// Popup window with caption, system menu, sizing border and minimize box.
constexpr std::uint32_t kInitialStyle = 0x90CE0040;

// How long a changed frame must stay before it is taken for the window's frame.
constexpr qint64 kFrameSettleMs = 500;

// The states in which the window does not show at its restored rectangle.
constexpr Qt::WindowStates kNotRestored =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

}  // namespace

QtMainWindow::QtMainWindow() : style_(kInitialStyle) {
  setWindowTitle(QStringLiteral("Heronwatch"));
  setWindowIcon(AppIcon());
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  timer_.setTimerType(Qt::PreciseTimer);
  setFocusPolicy(Qt::StrongFocus);
  connect(&timer_, &QTimer::timeout, this, [this] {
    WatchFrameExtents();
    if (sink_ != nullptr) sink_->OnTimer();
  });
  ApplyWindowFlags();
  // Screens that are unplugged, added or resized while the program runs.
  connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
    WatchScreen(screen);
    ScheduleScreenCheck();
  });
  connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { ScheduleScreenCheck(); });
  for (QScreen* screen : QGuiApplication::screens()) {
    WatchScreen(screen);
  }
}

Rect QtMainWindow::GetWorkArea() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return {0, 0, 1920, 1080};
  return RectOf(primary->availableGeometry());
}

QMargins QtMainWindow::PlacementMargins() const {
  return Framed() && frameMarginsKnown_ ? frameMargins_ : QMargins();
}

bool QtMainWindow::Restored() const {
  return (windowState() & kNotRestored) == 0;
}

WindowPlacement QtMainWindow::GetWindowPlacement() {
  // A maximised or minimised window reports the rectangle it is restored to.
  const QRect client = Restored() ? geometry() : normalGeometry();
  WindowPlacement placement;
  placement.normal = RectOf(client.marginsAdded(PlacementMargins()).translated(-WorkAreaOrigin()));
  placement.minimized = isMinimized();
  return placement;
}

void QtMainWindow::SetWindowPlacement(const WindowPlacement& placement) {
  // The rectangle includes the frame; Qt places the client area, so the frame is taken off.
  // A rectangle whose title bar shows on no screen (a screen that is gone, a position stored
  // far off) is brought onto the nearest one.
  const QPoint origin = WorkAreaOrigin();
  const Rect& r = placement.normal;
  const std::vector<Rect> screens = ScreenAreas();
  const auto shifted = [](int value, int by) {
    return static_cast<int>(std::clamp<qint64>(qint64{value} + by, INT_MIN, INT_MAX));
  };
  const Rect outer = KeepOnScreens({shifted(r.left, origin.x()), shifted(r.top, origin.y()),
                                    shifted(r.right, origin.x()), shifted(r.bottom, origin.y())},
                                   screens, GetWorkArea());
  const QMargins margins = PlacementMargins();
  const int width = std::max(1, outer.Width() - margins.left() - margins.right());
  const int height = std::max(1, outer.Height() - margins.top() - margins.bottom());
  setGeometry(outer.left + margins.left(), outer.top + margins.top(), width, height);
}

FrameExtents QtMainWindow::GetFrameExtents() {
  if (!frameMarginsKnown_) return {};
  return {frameMargins_.left() + frameMargins_.right(),
          frameMargins_.top() + frameMargins_.bottom(), true};
}

std::vector<Rect> QtMainWindow::ScreenAreas() const {
  std::vector<Rect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    screens.push_back(RectOf(screen->availableGeometry()));
  }
  return screens;
}

// NOLINTNEXTLINE(readability-make-member-function-const): it connects the window's own slots.
void QtMainWindow::WatchScreen(QScreen* screen) {
  connect(screen, &QScreen::geometryChanged, this, &QtMainWindow::ScheduleScreenCheck);
  connect(screen, &QScreen::availableGeometryChanged, this, &QtMainWindow::ScheduleScreenCheck);
}

void QtMainWindow::ScheduleScreenCheck() {
  if (screenCheckPending_) return;
  screenCheckPending_ = true;
  QTimer::singleShot(0, this, [this] {
    screenCheckPending_ = false;
    OnScreensChanged();
  });
}

// A screen that went away or shrank may leave the window mostly off the screens until the
// next start; it is brought back now, and its size limits follow the screens.
void QtMainWindow::OnScreensChanged() {
  ApplySizeLimits();
  BringOntoScreens();
}

void QtMainWindow::BringOntoScreens() {
  if (!isVisible() || !Restored()) return;
  const QMargins margins = PlacementMargins();
  const Rect outer = RectOf(geometry().marginsAdded(margins));
  const Rect moved = hw::BringOntoScreens(outer, ScreenAreas(), GetWorkArea());
  if (moved == outer) return;
  setGeometry(moved.left + margins.left(), moved.top + margins.top(), width(), height());
}

void QtMainWindow::BringToFront() {
  if (isMinimized()) showNormal();
  if (!isVisible()) show();
  BringOntoScreens();
  raise();
  activateWindow();
}

void QtMainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  NotifyRectChanged();
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  NotifyRectChanged();
}

void QtMainWindow::NotifyRectChanged() {
  if (sink_ != nullptr && isVisible() && Restored()) sink_->OnWindowRectChanged();
}

void QtMainWindow::WatchFrameExtents() {
  // A maximised window's frame is not the one its restored rectangle is measured with: a
  // window manager may take the borders away while the window fills the screen.
  if (!Framed() || !isVisible() || !Restored()) {
    changedFrameSeen_ = false;
    return;
  }
  const QRect frame = frameGeometry();
  const QRect client = geometry();
  const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
  // No margins yet: the window manager has not framed the window (or there is none).
  if (margins.isNull() || (frameMarginsKnown_ && margins == frameMargins_)) {
    changedFrameSeen_ = false;
    return;
  }
  // The first frame is believed at once: start-up places the window with it. A frame that
  // changes later is believed once it has stayed so for a while, since maximising and
  // restoring take the borders away and give them back a moment apart from the change of the
  // window's state.
  if (frameMarginsKnown_) {
    if (!changedFrameSeen_ || margins != changedFrame_) {
      changedFrameSeen_ = true;
      changedFrame_ = margins;
      changedFrameSince_.start();
      return;
    }
    if (changedFrameSince_.elapsed() < kFrameSettleMs) return;
    changedFrameSeen_ = false;
  }
  frameMargins_ = margins;
  frameMarginsKnown_ = true;

  ApplySizeLimits();
  if (sink_ != nullptr) sink_->OnFrameExtentsChanged();
}

void QtMainWindow::SetTrackingSizes(Size minimum, Size maximum) {
  minimumSize_ = minimum;
  maximumSize_ = maximum;
  ApplySizeLimits();
}

void QtMainWindow::ApplySizeLimits() {
  // The sizes include the frame and hold only for a framed window, which the user sizes by its
  // border; Qt limits the client area.
  if (!Framed()) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return;
  }
  const QMargins margins = PlacementMargins();
  const int frameWidth = margins.left() + margins.right();
  const int frameHeight = margins.top() + margins.bottom();
  const auto client = [](int size, int frame) {
    return std::clamp(size - frame, 1, QWIDGETSIZE_MAX);
  };
  // The largest size never keeps the window from covering a larger screen: the picture scales.
  Size maximum = maximumSize_;
  for (const QScreen* screen : QGuiApplication::screens()) {
    maximum.width = std::max(maximum.width, screen->geometry().width());
    maximum.height = std::max(maximum.height, screen->geometry().height());
  }
  setMinimumSize(client(minimumSize_.width, frameWidth), client(minimumSize_.height, frameHeight));
  setMaximumSize(client(maximum.width, frameWidth), client(maximum.height, frameHeight));
}

Rect QtMainWindow::GetClientRect() {
  return {0, 0, width(), height()};
}

Size QtMainWindow::PaintSize() {
  // The paint fills the window's device pixels, as the presenting below counts them.
  const qreal ratio = devicePixelRatioF();
  return {std::max(1, static_cast<int>(std::lround(width() * ratio))),
          std::max(1, static_cast<int>(std::lround(height() * ratio)))};
}

bool QtMainWindow::IsIconic() {
  return isMinimized();
}

void QtMainWindow::SetStyle(std::uint32_t style) {
  const bool framedBefore = Framed();
  style_ = style;
  if (framedBefore == Framed()) return;
  ApplyWindowFlags();
  ApplySizeLimits();
}

void QtMainWindow::SetWindowPos(InsertAfter insertAfter, unsigned flags) {
  if (flags & SWP_SHOWWINDOW) show();
  if ((flags & SWP_NOZORDER) || insertAfter == InsertAfter::Unchanged) return;
  const InsertAfter before = zOrder_;
  zOrder_ = insertAfter;
  ApplyWindowFlags();
  // As on Windows: a window made topmost comes to the top of its band, a topmost window made
  // normal comes to the front of the normal windows, and the bottom is the bottom.
  if (insertAfter == InsertAfter::Bottom) {
    lower();
  } else if (insertAfter == InsertAfter::Topmost || before != InsertAfter::NoTopmost) {
    raise();
  }
}

void QtMainWindow::ApplyWindowFlags() {
  const bool visible = isVisible();
  const QRect frame = frameGeometry();
  // The window has no maximise button, and the window manager offers no maximising: the
  // picture has its own sizes, and the restored rectangle stays the one the user gave.
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint;
  if ((style_ & kFrameStyleBits) == 0) flags |= Qt::FramelessWindowHint;
  if (zOrder_ == InsertAfter::Topmost) flags |= Qt::WindowStaysOnTopHint;
  if (zOrder_ == InsertAfter::Bottom) flags |= Qt::WindowStaysOnBottomHint;
  if (flags == windowFlags()) return;
  // A window that exists gets its new flags in place: setWindowFlags would unmap and map it
  // again, and the window manager would then place it anew.
  if (QWindow* handle = windowHandle(); handle != nullptr) {
    overrideWindowFlags(flags);
    handle->setFlags(flags);
    return;
  }
  setWindowFlags(flags);
  move(frame.topLeft());
  if (visible) show();
}

void QtMainWindow::SetLayeredAlpha(int alpha) {
  setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
  // The X11 connection sends the new opacity with its next flush, which a paint brings; a window
  // with nothing new to draw (no report yet, a dead network) would otherwise stay transparent
  // under a compositor until some other event came.
  update();
}

Point QtMainWindow::GetCursorPos() {
  const QPoint pos = QCursor::pos();
  return {pos.x(), pos.y()};
}

void QtMainWindow::MessageBox(std::u16string_view text, std::u16string_view title) {
  // The text also goes to the terminal, so a program started from a shell or a service says
  // why it stopped even when nobody sees the box.
  // The texts come in Japanese; a translation installed in the application shows them in the
  // user's language (context "Messages"), a text it does not know is shown as it is.
  const QString shown =
      QCoreApplication::translate("Messages", ToQString(text).toUtf8().constData());
  std::fprintf(stderr, "%s: %s\n", ToQString(title).toUtf8().constData(),
               shown.toUtf8().constData());
  // A program asked to end waits for nobody.
  if (CloseSignalPending()) return;
  QMessageBox box(QMessageBox::Warning, ToQString(title), shown, QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  // Above every window, the always-on-top main window of this or of a running copy included,
  // and raised once shown: a window manager may open it under the window that has the focus.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  QTimer::singleShot(0, &box, [&box] {
    box.raise();
    box.activateWindow();
  });
  // Unattended displays (and the start-up check) can have boxes close themselves.
  bool ok = false;
  const int timeoutMs = qEnvironmentVariableIntValue("HERONWATCH_MESSAGE_TIMEOUT_MS", &ok);
  if (ok && timeoutMs > 0) QTimer::singleShot(timeoutMs, &box, &QMessageBox::accept);
  box.exec();
}

void QtMainWindow::PostClose() {
  closeRequested_ = true;
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void QtMainWindow::SetTimer(int periodMs) {
  timer_.start(periodMs);
}

void QtMainWindow::RunModalLoop() {
  if (closeRequested_) return;
  show();
  QApplication::exec();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  const int key = VirtualKeyOf(event->key());
  if (key == 0) return QWidget::keyPressEvent(event);
  // A held key repeats its press; a command acts once per press.
  const bool repeat = event->isAutoRepeat() || heldKeys_.contains(key);
  heldKeys_.insert(key);
  if (repeat || sink_ == nullptr) return;
  const bool system =
      event->modifiers().testFlag(Qt::AltModifier) || key == VK_MENU || key == VK_F10;
  sink_->OnKeyDown(key, system);
}

void QtMainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  heldKeys_.erase(VirtualKeyOf(event->key()));
}

void QtMainWindow::focusOutEvent(QFocusEvent* event) {
  // Releases that happen elsewhere are never seen.
  heldKeys_.clear();
  QWidget::focusOutEvent(event);
}

void QtMainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && sink_ != nullptr) sink_->OnLButtonDown();
  QWidget::mousePressEvent(event);
}

void QtMainWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && sink_ != nullptr) sink_->OnLButtonUp();
  QWidget::mouseReleaseEvent(event);
}

void QtMainWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (sink_ != nullptr) sink_->OnContextMenu({event->globalPos().x(), event->globalPos().y()});
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (sink_ != nullptr && !sink_->OnCloseRequest()) {
    closeRequested_ = false;
    event->ignore();
    return;
  }
  event->accept();
  // The modal run ends with the main window, whatever other windows are open.
  QCoreApplication::quit();
}

void QtMainWindow::InvalidateArea(const Rect& area, const Rect& source) {
  if (source.Width() <= 0 || source.Height() <= 0) return update();
  // Client pixels whose footprint meets the area, and one more on each side for the
  // averaging of the stretch.
  const auto scale = [](int value, int origin, int length, int size) {
    return static_cast<double>(value - origin) * size / length;
  };
  const int left =
      static_cast<int>(std::floor(scale(area.left, source.left, source.Width(), width())));
  const int right =
      static_cast<int>(std::ceil(scale(area.right, source.left, source.Width(), width())));
  const int top =
      static_cast<int>(std::floor(scale(area.top, source.top, source.Height(), height())));
  const int bottom =
      static_cast<int>(std::ceil(scale(area.bottom, source.top, source.Height(), height())));
  update(QRect(QPoint(left - 1, top - 1), QPoint(right, bottom)));
}

void QtMainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const PaintSource source = sink_ != nullptr ? sink_->OnPaint() : PaintSource{};
  if (source.iconic) {
    // The icon centred on the window's background, at the desktop's icon size.
    painter.fillRect(rect(), palette().window());
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    painter.drawPixmap((width() - size + 1) / 2, (height() - size + 1) / 2,
                       windowIcon().pixmap(size, size));
    return;
  }
  const Surface* surface = source.surface;
  if (surface == nullptr || surface->empty()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  // The window's device pixels: the picture is stretched to them with HALFTONE averaging, so
  // that a small window shows every detail averaged rather than dropped.
  // A picture painted at that size is shown as it is.
  const Size device = PaintSize();
  const int deviceWidth = device.width;
  const int deviceHeight = device.height;
  const Rect& r = source.source;
  const Surface* shown = surface;
  QRect shownRect(r.left, r.top, r.Width(), r.Height());
  if (r.Width() != deviceWidth || r.Height() != deviceHeight) {
    const bool fresh =
        scaled_.width() != deviceWidth || scaled_.height() != deviceHeight || !(scaledFrom_ == r);
    if (scaled_.width() != deviceWidth || scaled_.height() != deviceHeight) {
      scaled_ = Surface(deviceWidth, deviceHeight);
    }
    // The stretched picture is kept: only the part where the picture changed is stretched
    // again (with a pixel more on each side, which the averaging reaches).
    const Rect& d = source.damage;
    if (fresh) {
      StretchBlt(scaled_, 0, 0, deviceWidth, deviceHeight, *surface, r.left, r.top, r.Width(),
                 r.Height());
      scaledFrom_ = r;
    } else if (d.Width() > 0 && d.Height() > 0) {
      const auto along = [](int value, int origin, int length, int size) {
        return static_cast<double>(value - origin) * size / length;
      };
      const Rect clip{
          static_cast<int>(std::floor(along(d.left, r.left, r.Width(), deviceWidth))) - 1,
          static_cast<int>(std::floor(along(d.top, r.top, r.Height(), deviceHeight))) - 1,
          static_cast<int>(std::ceil(along(d.right, r.left, r.Width(), deviceWidth))) + 1,
          static_cast<int>(std::ceil(along(d.bottom, r.top, r.Height(), deviceHeight))) + 1};
      StretchBlt(scaled_, 0, 0, deviceWidth, deviceHeight, *surface, r.left, r.top, r.Width(),
                 r.Height(), clip);
    }
    shown = &scaled_;
    shownRect = QRect(0, 0, deviceWidth, deviceHeight);
  }
  // The pixels are shown in place, without a copy.
  QImage image(reinterpret_cast<const uchar*>(shown->pixels()), shown->width(), shown->height(),
               static_cast<qsizetype>(shown->pitch()) * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(QRectF(0, 0, width(), height()), image, shownRect);
}

}  // namespace hw

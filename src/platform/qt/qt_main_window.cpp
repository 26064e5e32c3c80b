#include "platform/qt/qt_main_window.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/blit.h"
#include "platform/qt/app_icon.h"

namespace hw {
namespace {

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Popup window with caption, system menu, sizing border and minimize box.
constexpr std::uint32_t kInitialStyle = 0x90CE0040;

}  // namespace

QtMainWindow::QtMainWindow() : style_(kInitialStyle) {
  setWindowTitle(QStringLiteral("Heronwatch"));
  setWindowIcon(AppIcon());
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (sink_ != nullptr) sink_->OnTimer();
  });
}

QPoint QtMainWindow::WorkAreaOrigin() const {
  const QScreen* current = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return current != nullptr ? current->availableGeometry().topLeft() : QPoint();
}

Rect QtMainWindow::GetWorkArea() {
  const QScreen* current = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (current == nullptr) return {0, 0, 1920, 1080};
  const QRect area = current->availableGeometry();
  return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

WindowPlacement QtMainWindow::GetWindowPlacement() {
  const QRect frame = frameGeometry().translated(-WorkAreaOrigin());
  WindowPlacement placement;
  placement.normal = {frame.left(), frame.top(), frame.left() + frame.width(),
                      frame.top() + frame.height()};
  placement.minimized = isMinimized();
  return placement;
}

void QtMainWindow::SetWindowPlacement(const WindowPlacement& placement) {
  // The rectangle includes the frame; Qt places the client area, so the frame's margins (known
  // once the window manager has framed the window) are taken off.
  const QRect frame = frameGeometry();
  const QRect client = geometry();
  const int marginLeft = client.left() - frame.left();
  const int marginTop = client.top() - frame.top();
  const int marginRight = frame.right() - client.right();
  const int marginBottom = frame.bottom() - client.bottom();
  const QPoint origin = WorkAreaOrigin();
  const Rect& r = placement.normal;
  const int width = std::max(1, r.Width() - marginLeft - marginRight);
  const int height = std::max(1, r.Height() - marginTop - marginBottom);
  setGeometry(origin.x() + r.left + marginLeft, origin.y() + r.top + marginTop, width, height);
}

Rect QtMainWindow::GetClientRect() {
  return {0, 0, width(), height()};
}

bool QtMainWindow::IsIconic() {
  return isMinimized();
}

void QtMainWindow::SetStyle(std::uint32_t style) {
  const bool framedBefore = (style_ & kFrameStyleBits) != 0;
  style_ = style;
  if (framedBefore != ((style_ & kFrameStyleBits) != 0)) ApplyWindowFlags();
}

void QtMainWindow::SetWindowPos(InsertAfter insertAfter, unsigned flags) {
  if (!(flags & SWP_NOZORDER) && insertAfter != InsertAfter::Unchanged) {
    zOrder_ = insertAfter;
    ApplyWindowFlags();
  }
  if (flags & SWP_SHOWWINDOW) show();
}

void QtMainWindow::ApplyWindowFlags() {
  const bool visible = isVisible();
  const QRect frame = frameGeometry();
  Qt::WindowFlags flags = Qt::Window;
  if ((style_ & kFrameStyleBits) == 0) flags |= Qt::FramelessWindowHint;
  if (zOrder_ == InsertAfter::Topmost) flags |= Qt::WindowStaysOnTopHint;
  if (zOrder_ == InsertAfter::Bottom) flags |= Qt::WindowStaysOnBottomHint;
  if (flags == windowFlags()) return;
  setWindowFlags(flags);  // hides the window; show it again where it was
  move(frame.topLeft());
  if (visible) show();
}

void QtMainWindow::SetLayeredAlpha(int alpha) {
  setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

Point QtMainWindow::GetCursorPos() {
  const QPoint pos = QCursor::pos();
  return {pos.x(), pos.y()};
}

void QtMainWindow::MessageBox(std::u16string_view text, std::u16string_view title) {
  // The text also goes to the terminal, so a program started from a shell or a service says
  // why it stopped even when nobody sees the box.
  std::fprintf(stderr, "%s: %s\n", ToQString(title).toUtf8().constData(),
               ToQString(text).toUtf8().constData());
  QMessageBox box(QMessageBox::Warning, ToQString(title), ToQString(text), QMessageBox::Ok,
                  isVisible() ? this : nullptr);
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
  const qreal ratio = devicePixelRatioF();
  const int deviceWidth = std::max(1, static_cast<int>(width() * ratio + 0.5));
  const int deviceHeight = std::max(1, static_cast<int>(height() * ratio + 0.5));
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
  image.setDevicePixelRatio(ratio);
  painter.drawImage(QRectF(0, 0, width(), height()), image, shownRect);
}

}  // namespace hw

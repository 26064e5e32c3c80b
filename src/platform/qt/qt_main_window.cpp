#include "platform/qt/qt_main_window.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstdio>

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

void QtMainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const PaintSource source = sink_ != nullptr ? sink_->OnPaint() : PaintSource{};
  const Surface* surface = source.surface;
  if (surface == nullptr || surface->empty()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  // The surface's pixels are shown in place, without a copy.
  const QImage image(reinterpret_cast<const uchar*>(surface->pixels()), surface->width(),
                     surface->height(), static_cast<qsizetype>(surface->pitch()) * 4,
                     QImage::Format_RGB32);
  const Rect& r = source.source;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), image, QRect(r.left, r.top, r.Width(), r.Height()));
}

}  // namespace hw

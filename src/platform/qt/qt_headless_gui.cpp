#include "platform/qt/qt_headless_gui.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace hw {

HeadlessGui::HeadlessGui() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

HeadlessGui::~HeadlessGui() = default;

}  // namespace hw

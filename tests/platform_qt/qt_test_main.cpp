#include <gtest/gtest.h>

#include <QGuiApplication>

// The Qt platform tests need a QGuiApplication (fonts, pictures, windows); without a display
// they run on the offscreen platform.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include <QApplication>

// The adapters need a QApplication (widgets, clipboard, event loop).
int main(int argc, char** argv) {
  // Tests never need a display.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

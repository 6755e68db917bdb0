#include <gtest/gtest.h>

#include <QApplication>

// The adapters need a QApplication (widgets, clipboard, event loop).
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

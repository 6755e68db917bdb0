#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolButton>
#include <QToolTip>
#include <ostream>
#include <vector>

#include "qt/StatusText.h"

// Failures show the texts themselves.
static void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace tessarin::qt {
namespace {

const QString kSettingsFailure =
    "Settings not read: /very/long/path/to/the/console/settings/globalsetting.txt: Permission "
    "denied";

TEST(StatusTextTest, PathsGiveWayInTheMiddleAndTheRestStays) {
  struct Case {
    QString text;
    QString expected;  // also sets the width available: exactly as wide as this
  };
  const std::vector<Case> cases = {
      {"Ready to start", "Ready to start"},
      {kSettingsFailure, "Settings not read: /very/lo…/globalsetting.txt: Permission denied"},
      {kSettingsFailure, "Settings not read: …/globalsetting.txt: Permission denied"},
      {"Port not opened: Com 3 (/dev/serial/by-id/usb-FTDI_FT232R-port0): no such device",
       "Port not opened: Com 3 (/dev/se…/usb-FTDI_FT232R-port0): no such device"},
      {R"(Data file not written: C:\Messungen\Langzeit\2024\run.dat: disk full)",
       R"(Data file not written: C:\Mess…\run.dat: disk full)"},
      // The longer folder part gives way first, and only as far as needed.
      {"Settings not copied: /home/op/a.txt to /mnt/backup/very/deep/folder/a.txt",
       "Settings not copied: /home/op/a.txt to /mnt/back…/a.txt"},
      {"Settings not copied: /home/op/a.txt to /mnt/backup/very/deep/folder/a.txt",
       "Settings not copied: /ho…/a.txt to …/a.txt"},
  };
  const QFontMetrics metrics(QFont("Sans", 9));
  for (const Case& c : cases)
    EXPECT_EQ(FitStatusText(c.text, metrics, metrics.horizontalAdvance(c.expected)), c.expected)
        << c.text.toStdString();
}

TEST(StatusTextTest, AnyTextFitsAnyWidth) {
  const QStringList texts = {
      kSettingsFailure,
      "Serial port failed, run stopped: Com 2 (/dev/ttyUSB0): Resource temporarily unavailable",
      "XTAL filter Unlocked, wait... then a long explanation without any path in it at all",
      "/a/b",
  };
  const QFontMetrics metrics(QFont("Sans", 9));
  for (const QString& text : texts) {
    const int full = metrics.horizontalAdvance(text);
    for (int width = 0; width <= full + 10; width += 3) {
      const QString fitted = FitStatusText(text, metrics, width);
      ASSERT_LE(metrics.horizontalAdvance(fitted), width) << text.toStdString() << " in " << width;
      if (width >= full) {
        ASSERT_EQ(fitted, text);
      }
    }
  }
  // Without a path the text loses its middle; both ends stay.
  const QString noPath = texts[2];
  const QString fitted = FitStatusText(noPath, metrics, metrics.horizontalAdvance(noPath) / 2);
  EXPECT_TRUE(fitted.startsWith("XTAL") && fitted.endsWith("all") && fitted.contains("…"))
      << fitted.toStdString();
}

// The console's menu bar: its menus, the status label, then the status item.
class StatusMenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* caption : {"   &File   ", " &Port ", " &Mode ", " S&tore ", " Displa&y ",
                                "  &Graphic  ", " &Select ", " &About ", "       Status :"})
      bar()->addAction(caption);
    status = new QAction(bar());
    ShowStatusText(*bar(), *status, "");
    bar()->addAction(status);
    window.resize(1000, 500);
    window.show();
    QCoreApplication::processEvents();
  }
  QMenuBar* bar() { return window.menuBar(); }
  // The bar folds items that do not fit behind this button.
  bool overflowing() {
    const auto* button = bar()->findChild<QToolButton*>("qt_menubar_ext_button");
    return button && button->isVisible();
  }
  void resizeTo(int width) {
    window.resize(width, window.height());
    QCoreApplication::processEvents();
  }

  QMainWindow window;
  QAction* status = nullptr;
};

TEST_F(StatusMenuBarTest, LongStatusStaysOnTheBarWithTheWholeTextAsTooltip) {
  ShowStatusText(*bar(), *status, kSettingsFailure);
  QCoreApplication::processEvents();
  EXPECT_FALSE(overflowing());
  EXPECT_TRUE(bar()->rect().contains(bar()->actionGeometry(status)));
  EXPECT_TRUE(status->text().startsWith("Settings not read: /very/"))
      << status->text().toStdString();
  EXPECT_TRUE(status->text().endsWith("…/globalsetting.txt: Permission denied"))
      << status->text().toStdString();
  EXPECT_EQ(status->toolTip(), kSettingsFailure);
  // The pointer resting on the shortened status brings up the whole text.
  const QPoint onStatus = bar()->actionGeometry(status).center();
  QHelpEvent help(QEvent::ToolTip, onStatus, bar()->mapToGlobal(onStatus));
  QCoreApplication::sendEvent(bar(), &help);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), kSettingsFailure);
  QToolTip::hideText();

  // A wider window shows it whole; narrower ones shorten it again, down to the point where only
  // its ends are left.
  resizeTo(2000);
  EXPECT_EQ(status->text(), kSettingsFailure);
  for (int width : {1000, 700}) {
    resizeTo(width);
    EXPECT_FALSE(overflowing()) << width;
    EXPECT_TRUE(bar()->rect().contains(bar()->actionGeometry(status))) << width;
    EXPECT_TRUE(status->text().startsWith("Settings")) << status->text().toStdString();
    EXPECT_TRUE(status->text().endsWith("denied")) << status->text().toStdString();
  }

  // Once the status is short again, the whole of it is shown.
  ShowStatusText(*bar(), *status, "Ready to start");
  EXPECT_EQ(status->text(), "Ready to start");
}

TEST_F(StatusMenuBarTest, AmpersandShowsAsItselfNotAsAShortcutMark) {
  ShowStatusText(*bar(), *status, "Run & data file stopped");
  EXPECT_EQ(status->text(), "Run && data file stopped");
  EXPECT_EQ(status->toolTip(), "Run & data file stopped");
}

}  // namespace
}  // namespace tessarin::qt

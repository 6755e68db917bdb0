#include <gtest/gtest.h>

#include "app/TextFileStore.h"
#include "run/RunFixture.h"

namespace {

class WholeRunTest : public RunFixture {};

// A run of ten samples from a scripted instrument at 10 MHz, with a one-line glitch (out and
// back) in the middle, recorded as non-filtered frequency data on Com 2, then stopped.
TEST_F(WholeRunTest, RecordsPlotsAndAnalysesARunFromStartToStop) {
  Console& c = initializedConsole();
  c.st.dblProgFreq = kDutFreq;
  serial.instrument = [this](const std::string& command) {
    if (command != "PH05") return;
    // The readings advance by 12 counts (1e-11 s) per tau; the glitch goes out and comes back.
    for (const char* line :
         {"00000000", "0000000C", "00000018", "00000024", "00000030", "0000003C", "00100000",
          "00000048", "ACK", "00000054", "00000060", "0000006C", "00000078", "00000084"})
      serial.queueLine(line);
  };

  c.menus.startStop.click();
  EXPECT_EQ(c.menus.startStop.caption(), "S&top");
  EXPECT_TRUE(c.menus.startStop.enabled());
  EXPECT_FALSE(c.menus.tau.enabled());
  EXPECT_FALSE(c.menus.saveFileAs.enabled());
  EXPECT_FALSE(c.windows.scaleBoxes[0].enabled());
  serial.deliverPending();
  EXPECT_EQ(c.st.dblSampleIndex, 11);

  c.menus.startStop.click();
  serial.receive("00000090\r\n");  // a reading still on its way when the stream stopped
  EXPECT_EQ(c.st.dblSampleIndex, 11);

  EXPECT_EQ(serial.commands(), (std::vector<std::string>{"FN0", "TA000003E8", "PH05", "PH00"}));
  QString error;
  EXPECT_EQ(TextFileStore::LoadFile(pathOf("globalsetting.txt"), error), "121");

  QByteArray expected = "\r\n\r\n\r\n\r\n\r\n\r\n";
  expected += pathOf("osc1.DAT").toUtf8() + "\tDate  07/12/2026\tTime  09:14:02\r\n\r\n";
  expected += "DUT Frequency :  10000000.00168 Hz\tTau :  1000.0 ms\r\n\r\n";
  expected += "Mode :   Non-Filtered\r\nData :   Frequency Data\r\n\r\n";
  // Samples 6 and 9 differ from 1e-11 in the 15th digit: the difference of two readings in
  // double precision, written as it is.
  for (const char* sample :
       {"-1E-11", "-1E-11", "-1E-11", "-1E-11", "-1E-11", "-9.99999999999999E-12", "-1E-11",
        "-1E-11", "-9.99999999999999E-12", "-1E-11"})
    expected += QByteArray(sample) + " \r\n";
  EXPECT_EQ(dataFile().toStdString(), expected.toStdString());

  ASSERT_EQ(dataPlot.curves.size(), 1u);
  const FakePlot::Curve& data = dataPlot.curves[0];
  EXPECT_EQ(data.name, "Curve1");
  ASSERT_EQ(data.x.size(), 10u);
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(data.x[k - 1], k);
    EXPECT_NEAR(data.y[k - 1], -10, 1e-9) << k;
  }
  // A phase that drifts steadily has an Allan deviation of 0 at tau0 and 2 tau0.
  ASSERT_EQ(stabilityPlot.curves.size(), 1u);
  const FakePlot::Curve& stability = stabilityPlot.curves[0];
  EXPECT_EQ(stability.name, "Curve2");
  EXPECT_EQ(stability.x, (std::vector<double>{1, 2}));
  for (double sigma : stability.y) EXPECT_NEAR(sigma, 0, 1e-20);

  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_TRUE(c.menus.tau.enabled());
  EXPECT_TRUE(c.menus.saveFileAs.enabled());
  EXPECT_TRUE(c.windows.scaleBoxes[0].enabled());
  EXPECT_FALSE(c.menus.com2.enabled());
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/TextFileStore.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

class WholeRunTest : public RunFixture {
 protected:
  // Keeps every reading line the console receives.
  void recordReadings() {
    serial.onReceived = [this, console = serial.onReceived](char ch) {
      received += ch;
      console(ch);
    };
  }
  std::vector<std::int32_t> readings() const {
    std::vector<std::int32_t> counts;
    for (const QString& line : QString::fromStdString(received).split("\r\n")) {
      bool ok = false;
      const unsigned value = line.toUInt(&ok, 16);
      if (ok && line.size() == 8) counts.push_back(static_cast<std::int32_t>(value));
    }
    return counts;
  }
  std::string received;
};

// A run at tau 1 s from the scripted instrument, with a one-line glitch (out and back) and a
// reply that is no reading in the middle, recorded as non-filtered frequency data on Com 2, then
// stopped.
TEST_F(WholeRunTest, RecordsPlotsAndAnalysesARunFromStartToStop) {
  app::Console& c = initializedConsole();
  recordReadings();
  c.menus().startStop.click();
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_FALSE(c.menus().tau.enabled());
  instrument->run(6);
  const std::int32_t last = readings().back();
  serial.receive(Hex8(last + 0x100000) + "\r\nACK\r\n");
  instrument->run(6);
  c.menus().startStop.click();
  serial.receive(Hex8(last) + "\r\n");  // a reading still on its way when the stream stopped

  EXPECT_EQ(serial.commands(), (std::vector<std::string>{"FN0", "TA000003E8", "PH05", "PH00"}));
  EXPECT_EQ(*app::loadTextFile(pathOf("globalsetting.txt")).value(), "121");

  // Worked out independently: a reading of n counts is n / 1.2e12 s at 10 MHz; a change of more
  // than 600000 counts is no sample; each sample is minus the change and minus the offset of
  // the programmed frequency from the measured one.
  const link::DutFrequencies& f = c.initialization().frequencies();
  const double offset = (f.measured - f.programmed) / f.measured;
  const std::vector<std::int32_t> counts = readings();
  ASSERT_EQ(counts.size(), 14u);
  std::vector<double> samples, phase{0};
  for (std::size_t i = 1; i + 1 < counts.size(); ++i) {
    const double change = static_cast<double>(counts[i] - counts[i - 1]);
    if (std::abs(change) > 600000) continue;
    samples.push_back(-change / 1.2e12 - offset);
    phase.push_back(phase.back() + samples.back());
  }
  ASSERT_EQ(samples.size(), 10u);

  const QList<QByteArray> lines = dataFile().split('\n');
  ASSERT_EQ(lines.size(), 13 + 10 + 1);
  QByteArray header = "\r\n\r\n\r\n\r\n\r\n\r\n";
  header += pathOf("osc1.DAT").toUtf8() + "\tDate  07/12/2026\tTime  09:14:02\r\n\r\n";
  header += "DUT Frequency :  10000000.00168 Hz\tTau :  1000.0 ms\r\n\r\n";
  header += "Mode :   Non-Filtered\r\nData :   Frequency Data\r\n\r\n";
  EXPECT_TRUE(dataFile().startsWith(header));
  for (std::size_t k = 0; k < samples.size(); ++k) {
    const QByteArray& line = lines[static_cast<qsizetype>(13 + k)];
    EXPECT_TRUE(line.endsWith(" \r")) << line.toStdString();
    EXPECT_NEAR(line.toDouble(), samples[k], 1e-21) << k + 1;
  }

  const FakePlot::Curve& data = dataPlot.curve("Curve1");
  ASSERT_EQ(data.x.size(), 10u);
  for (std::size_t k = 0; k < 10; ++k) {
    EXPECT_EQ(data.x[k], static_cast<double>(k + 1));
    EXPECT_NEAR(data.y[k], samples[k] * 1e12, 1e-9) << k + 1;
  }
  // At sample 10: the non-overlapping Allan deviation at tau 1 s and 2 s, next to nothing for
  // the steady drift of the scripted instrument (readings are near 1e-6 s, exact to about 1e-22).
  const FakePlot::Curve& stability = stabilityPlot.curve("Curve2");
  EXPECT_EQ(stability.x, (std::vector<double>{1, 2}));
  ASSERT_EQ(stability.y.size(), 2u);
  for (std::size_t level = 0; level < 2; ++level) {
    const std::size_t m = level + 1;
    const std::size_t n = 10 / m;
    double sum = 0;
    for (std::size_t j = 0; j + 2 < n; ++j) {
      const double d = phase[1 + (j + 2) * m] - 2 * phase[1 + (j + 1) * m] + phase[1 + j * m];
      sum += d * d;
    }
    const double expected = std::sqrt(sum / (2.0 * static_cast<double>(n - 2) * double(m * m)));
    EXPECT_NEAR(stability.y[level], expected, 1e-9 * expected + 1e-21) << "tau " << m;
  }

  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_TRUE(c.menus().tau.enabled());
  EXPECT_TRUE(c.menus().saveFileAs.enabled());
  EXPECT_TRUE(c.windows().scaleBoxes[0].enabled());
  EXPECT_FALSE(c.menus().com2.enabled());
}

}  // namespace
}  // namespace tessarin::test

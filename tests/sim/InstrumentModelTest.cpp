#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/InstrumentModel.h"

namespace tessarin::sim {
namespace {

constexpr double kReferenceHz = 120000000.0;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF: " << text.substr(start);
  return lines;
}

std::int32_t countOf(const std::string& sampleLine) {
  EXPECT_EQ(sampleLine.size(), 8u) << sampleLine;
  return static_cast<std::int32_t>(std::stoul(sampleLine, nullptr, 16));
}

// The synthesizer words the console sends for `f`, as "DA"/"DB" commands.
struct FrequencyWords {
  std::string coarse, fine;
};
FrequencyWords wordsFor(double f) {
  const double n1 = std::nearbyint((f - 455000.0) * 65536.0 / kReferenceHz);
  const double coarseHz = n1 * kReferenceHz / 65536.0;
  const double n2 = std::nearbyint((f - coarseHz - 1000.0) * 32.0 * 268435456.0 / kReferenceHz);
  char coarse[16], fine[16];
  std::snprintf(coarse, sizeof coarse, "DA%04X0000", static_cast<unsigned>(n1));
  std::snprintf(fine, sizeof fine, "DB%07X0", static_cast<unsigned>(n2));
  return {coarse, fine};
}

TEST(InstrumentModelTest, CommandsWithoutReplyAnswerNothing) {
  InstrumentModel model({});
  for (const char* command : {"MK0", "MK1", "FN0", "FN1", "DA145D0000", "DB1EF930C0", "TA000000C8",
                              "PH00", "XX", "DA145D", "TA00000000", "cb9", ""})
    EXPECT_EQ(model.handleCommand(command, 0.0), "") << command;
}

TEST(InstrumentModelTest, CountReplyCarriesTheDutFrequencyInFiveHertzUnits) {
  const struct {
    double dutHz;
    const char* reply;
  } cases[] = {{10000000.0, "CB001E8480\r\n"},
               {31000000.0, "CB005E9AC0\r\n"},
               {1000002.4, "CB00030D40\r\n"},
               {9999997.6, "CB001E8480\r\n"}};
  for (const auto& c : cases) {
    InstrumentOptions options;
    options.dutHz = c.dutHz;
    InstrumentModel model(options);
    const std::string reply = model.handleCommand("CB9", 0.0);
    EXPECT_EQ(reply, c.reply) << c.dutHz;
    EXPECT_EQ(static_cast<double>(std::stoul(reply.substr(2, 8), nullptr, 16)) * 5.0,
              std::nearbyint(c.dutHz / 5) * 5);
  }
}

TEST(InstrumentModelTest, FrequencyWordsProgramTheSynthesizer) {
  const struct {
    const char* coarse;
    const char* fine;
    double programmedHz;
    double tolerance;
  } cases[] = {{"DA145D0000", "DB1EF930C0", 10000000.0017, 5e-5},
               {"DA012A0000", "DB1EF2CA50", 1000000.0, 0.02},
               {"DA412A0000", "DB1EF2CA50", 31000000.0, 0.02}};
  for (const auto& c : cases) {
    InstrumentModel model({});
    model.handleCommand(c.coarse, 0.0);
    model.handleCommand(c.fine, 0.0);
    EXPECT_NEAR(model.programmedFrequency(), c.programmedHz, c.tolerance) << c.coarse;
  }
}

TEST(InstrumentModelTest, SampleLinesComeAtTheTaIntervalOnTheSpedUpClock) {
  InstrumentOptions options;
  options.speedup = 10.0;
  InstrumentModel model(options);
  model.handleCommand("TA000003E8", 0.0);
  EXPECT_EQ(model.handleCommand("PH05", 0.0), "");
  EXPECT_EQ(model.nextSampleDue(), 0.1);
  EXPECT_EQ(model.advanceTo(0.099), "");
  EXPECT_EQ(linesOf(model.advanceTo(0.1)).size(), 1u);
  EXPECT_EQ(linesOf(model.advanceTo(0.35)).size(), 2u);
  // The line due before "PH00" still goes out, ahead of everything else.
  EXPECT_EQ(linesOf(model.handleCommand("PH00", 0.45)).size(), 1u);
  EXPECT_FALSE(model.nextSampleDue());
  EXPECT_EQ(model.advanceTo(10.0), "");
}

TEST(InstrumentModelTest, MkZeroEndsTheStream) {
  InstrumentModel model({});
  model.handleCommand("PH05", 0.0);
  model.handleCommand("MK0", 0.5);
  EXPECT_EQ(model.advanceTo(10.0), "");
}

TEST(InstrumentModelTest, NoiselessSampleCountsFollowTheBeatSlope) {
  InstrumentOptions options;
  options.dutHz = 9999999.25;
  InstrumentModel model(options);
  model.handleCommand("DA145D0000", 0.0);
  model.handleCommand("DB1EF930C0", 0.0);
  model.handleCommand("TA000000C8", 0.0);
  model.handleCommand("PH05", 0.0);
  const double slope = (model.programmedFrequency() - options.dutHz) / 1000.0;
  const std::vector<std::string> lines = linesOf(model.advanceTo(4.0));
  ASSERT_EQ(lines.size(), 20u);
  for (std::size_t k = 0; k < lines.size(); ++k)
    EXPECT_NEAR(countOf(lines[k]), slope * 0.2 * static_cast<double>(k + 1) * kReferenceHz, 0.5)
        << k;
}

// The console counts, programs the words and refines in stages of 3, 12 and 20 samples, each
// fitted by least squares: Fdut = Fprog + (1 - slope) * 1000 - 1000. The simulated DUT must come
// out of that within the console's five decimals.
TEST(InstrumentModelTest, RefinementStagesOfTheConsoleConvergeOnTheDutFrequency) {
  for (const double dutHz : {10000000.0, 10000000.3, 5000001.7, 1000000.2, 30999997.9}) {
    InstrumentOptions options;
    options.dutHz = dutHz;
    InstrumentModel model(options);
    double now = 0.0;
    const std::string countReply = linesOf(model.handleCommand("CB9", now)).at(0);
    double measuredHz = static_cast<double>(std::stoul(countReply.substr(2), nullptr, 16)) * 5.0;
    auto program = [&](double f) {
      const FrequencyWords words = wordsFor(f);
      model.handleCommand(words.coarse, now);
      model.handleCommand(words.fine, now);
    };
    program(measuredHz);
    model.handleCommand("TA000000C8", now);
    std::size_t samplesAhead = 1;  // the first stage takes one sample more than it fits
    for (const int stageLength : {3, 12, 20}) {
      model.handleCommand("PH05", now);
      now += 0.2 * static_cast<double>(stageLength + samplesAhead);
      std::vector<std::string> lines = linesOf(model.advanceTo(now));
      ASSERT_EQ(lines.size(), stageLength + samplesAhead);
      lines.erase(lines.begin(), lines.begin() + samplesAhead);
      samplesAhead = 0;
      model.handleCommand("PH00", now);
      double sumX = 0, sumY = 0, sumXY = 0, sumXX = 0;
      for (int i = 1; i <= stageLength; ++i) {
        const double y = countOf(lines[i - 1]) / kReferenceHz;
        sumY += y;
        sumXY += i * y * 0.2;
        sumX += i * 0.2;
        sumXX += i * i * 0.04;
      }
      const double slope =
          (stageLength * sumXY - sumX * sumY) / (stageLength * sumXX - sumX * sumX);
      measuredHz = std::floor((model.programmedFrequency() - slope * 1000.0) * 1e5) / 1e5;
      program(measuredHz);
      now += 1.0;
    }
    EXPECT_NEAR(measuredHz, dutHz, 2e-5) << std::fixed << dutHz;
  }
}

TEST(InstrumentModelTest, FilterLocksWhenSettledOnTheLastFrequencyWords) {
  InstrumentOptions options;
  options.lockAfterSeconds = 2.0;
  options.speedup = 2.0;
  InstrumentModel model(options);
  EXPECT_EQ(model.handleCommand("CL9", 10.0), "CL0\r\n");
  model.handleCommand("DA145D0000", 10.0);
  model.handleCommand("DB1EF930C0", 10.0);
  model.handleCommand("FN1", 10.0);
  EXPECT_EQ(model.handleCommand("CL9", 10.9), "CL0\r\n");
  EXPECT_EQ(model.handleCommand("CL9", 11.0), "CL1\r\n");
  model.handleCommand("DA145D0000", 12.0);
  EXPECT_EQ(model.handleCommand("CL9", 12.5), "CL0\r\n");
  EXPECT_EQ(model.handleCommand("CL9", 13.0), "CL1\r\n");
  EXPECT_TRUE(model.filtered());
}

TEST(InstrumentModelTest, SampleCountWrapsAtThirtyTwoBits) {
  InstrumentOptions options;
  options.dutHz = 10000000.0017 - 20.0;  // beat of +0.02 s/s: 2.4e8 counts per 100 s sample
  InstrumentModel model(options);
  model.handleCommand("DA145D0000", 0.0);
  model.handleCommand("DB1EF930C0", 0.0);
  model.handleCommand("TA000186A0", 0.0);
  model.handleCommand("PH05", 0.0);
  const std::vector<std::string> lines = linesOf(model.advanceTo(3000.0));
  ASSERT_EQ(lines.size(), 30u);
  bool crossedSign = false;
  for (std::size_t k = 1; k < lines.size(); ++k) {
    const auto step = static_cast<std::int32_t>(static_cast<std::uint32_t>(countOf(lines[k])) -
                                                static_cast<std::uint32_t>(countOf(lines[k - 1])));
    EXPECT_NEAR(step, 240000000, 300) << k;
    crossedSign |= countOf(lines[k]) < countOf(lines[k - 1]);
  }
  EXPECT_TRUE(crossedSign);
}

// The DUT's time error x as the console reconstructs it from the readings.
std::vector<double> timeErrors(const InstrumentOptions& options, int samples) {
  InstrumentModel model(options);
  model.handleCommand("DA145D0000", 0.0);
  model.handleCommand("DB1EF930C0", 0.0);
  model.handleCommand("TA000003E8", 0.0);
  model.handleCommand("PH05", 0.0);
  const double slope = (model.programmedFrequency() - options.dutHz) / 1000.0;
  const std::vector<std::string> lines = linesOf(model.advanceTo(samples));
  std::vector<double> x;
  for (std::size_t k = 0; k < lines.size(); ++k)
    x.push_back(-(countOf(lines[k]) / kReferenceHz - slope * static_cast<double>(k + 1)) /
                (options.dutHz / 1000));
  return x;
}

TEST(InstrumentModelTest, OffsetAndDriftBendTheTimeErrorAndTheCount) {
  InstrumentOptions options;
  options.frequencyOffset = 1e-7;
  options.driftPerDay = 8.64e-5;  // 1e-9 per second, to show in 1000 s
  const std::vector<double> x = timeErrors(options, 1000);
  for (const std::size_t k : {0u, 499u, 999u}) {
    const double t = static_cast<double>(k + 1);
    EXPECT_NEAR(x[k], 1e-7 * t + 1e-9 * t * t / 2, 1e-12) << t;
  }
  options.frequencyOffset = 1e-6;
  InstrumentModel model(options);
  EXPECT_EQ(model.handleCommand("CB9", 0.0), "CB001E8482\r\n") << "10000010 Hz / 5";
}

TEST(InstrumentModelTest, NoiseHasTheRequestedLevelAndRepeatsWithItsSeed) {
  InstrumentOptions phaseNoise;
  phaseNoise.noise = {{NoiseType::WhitePhase, std::sqrt(3.0) * 1e-9}};  // RMS 1e-9 s
  phaseNoise.seed = 7;
  const std::vector<double> x = timeErrors(phaseNoise, 4000);
  double sumSquares = 0;
  for (const double value : x) sumSquares += value * value;
  EXPECT_NEAR(std::sqrt(sumSquares / static_cast<double>(x.size())), 1e-9, 0.05e-9);
  EXPECT_EQ(timeErrors(phaseNoise, 50), std::vector<double>(x.begin(), x.begin() + 50));

  InstrumentOptions frequencyNoise;
  frequencyNoise.noise = {{NoiseType::WhiteFrequency, 1e-10}};
  const std::vector<double> walk = timeErrors(frequencyNoise, 4000);
  double allanSum = 0;
  for (std::size_t k = 2; k < walk.size(); ++k) {
    const double secondDifference = walk[k] - 2 * walk[k - 1] + walk[k - 2];
    allanSum += secondDifference * secondDifference;
  }
  EXPECT_NEAR(std::sqrt(allanSum / (2.0 * static_cast<double>(walk.size() - 2))), 1e-10, 0.05e-10);
}

}  // namespace
}  // namespace tessarin::sim

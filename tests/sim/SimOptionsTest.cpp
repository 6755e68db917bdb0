#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include "SimOptions.h"

namespace tessarin::sim {
namespace {

double levelOf(const SimOptions& options, NoiseType type) {
  for (const NoiseLevel& noise : options.instrument.noise)
    if (noise.type == type) return noise.allanDeviationAt1s;
  return 0;
}

TEST(SimOptionsTest, OptionsSetTheInstrumentTheOscillatorAndTheFaults) {
  const struct {
    std::vector<std::string> args;
    std::function<void(const SimOptions&)> check;
  } cases[] = {
      {{}, [](const SimOptions& o) { EXPECT_TRUE(o.instrument.noise.empty()); }},
      {{"--wpm", "1e-11", "--fpm=2e-11", "--wfm", "3e-11", "--ffm", "4e-12", "--rwfm", "5e-13"},
       [](const SimOptions& o) {
         EXPECT_EQ(levelOf(o, NoiseType::WhitePhase), 1e-11);
         EXPECT_EQ(levelOf(o, NoiseType::FlickerPhase), 2e-11);
         EXPECT_EQ(levelOf(o, NoiseType::WhiteFrequency), 3e-11);
         EXPECT_EQ(levelOf(o, NoiseType::FlickerFrequency), 4e-12);
         EXPECT_EQ(levelOf(o, NoiseType::RandomWalkFrequency), 5e-13);
       }},
      {{"--white-phase", "2e-11", "--white-freq", "1e-10"},
       [](const SimOptions& o) {
         EXPECT_DOUBLE_EQ(levelOf(o, NoiseType::WhitePhase), 2e-11 * std::sqrt(3.0));
         EXPECT_EQ(levelOf(o, NoiseType::WhiteFrequency), 1e-10);
       }},
      {{"--wfm", "1e-10", "--wfm", "0"},
       [](const SimOptions& o) {
         EXPECT_TRUE(o.instrument.noise.empty()) << "the last one holds";
       }},
      {{"--offset", "-2.5e-9", "--drift", "1e-10", "--seed", "42", "--speedup", "25",
        "--lock-after", "0", "--dut-hz", "5000000.5"},
       [](const SimOptions& o) {
         EXPECT_EQ(o.instrument.frequencyOffset, -2.5e-9);
         EXPECT_EQ(o.instrument.driftPerDay, 1e-10);
         EXPECT_EQ(o.instrument.seed, 42u);
         EXPECT_EQ(o.instrument.speedup, 25);
         EXPECT_EQ(o.instrument.lockAfterSeconds, 0);
         EXPECT_EQ(o.instrument.dutHz, 5000000.5);
       }},
      {{"--fault", "jump@120", "--fault=vanish@300:20", "--link", "/tmp/x"},
       [](const SimOptions& o) {
         ASSERT_EQ(o.instrument.faults.size(), 2u);
         EXPECT_EQ(describe(o.instrument.faults[1]), "vanish@300:20");
         EXPECT_EQ(o.linkPath, "/tmp/x");
       }},
      {{"--seed", "3", "--help", "--no-such"},
       [](const SimOptions& o) { EXPECT_TRUE(o.showHelp); }},
      {{"--version"}, [](const SimOptions& o) { EXPECT_TRUE(o.showVersion); }},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto options = parseSimOptions(c.args, error);
    ASSERT_TRUE(options) << error;
    c.check(*options);
  }
}

TEST(SimOptionsTest, MistakesGetOneLineThatNamesThem) {
  const struct {
    std::vector<std::string> args;
    const char* named;
  } cases[] = {{{"--bogus"}, "--bogus"},
               {{"--wpm"}, "--wpm"},
               {{"--wpm", "-1e-11"}, "--wpm"},
               {{"--ffm", "lots"}, "lots"},
               {{"--speedup", "0"}, "--speedup"},
               {{"--dut-hz", "nan"}, "--dut-hz"},
               {{"--seed", "-1"}, "--seed"},
               {{"--fault", "jump@0"}, "jump@0"},
               {{"--faults", "/nonexistent/faults.txt"}, "/nonexistent/faults.txt"},
               {{"--link", "a", "--device", "b"}, "--device"}};
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parseSimOptions(c.args, error)) << c.named;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(SimOptionsTest, FaultFileAddsToTheFaultsAndItsMistakesNameFileAndLine) {
  const std::string path = ::testing::TempDir() + "sim-faults.txt";
  std::ofstream(path) << "# trouble\njump@120\ngarbage@200:16\n";
  std::string error;
  const auto options = parseSimOptions({"--fault", "cr@5", "--faults", path}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->instrument.faults.size(), 3u);

  std::ofstream(path) << "jump@120\nsilence@now\n";
  EXPECT_FALSE(parseSimOptions({"--faults", path}, error));
  EXPECT_EQ(error.rfind(path + ": line 2: ", 0), 0u) << error;
  std::remove(path.c_str());
}

}  // namespace
}  // namespace tessarin::sim

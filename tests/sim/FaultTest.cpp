#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/Fault.h"
#include "model/InstrumentModel.h"

namespace tessarin::sim {
namespace {

TEST(FaultTest, FaultsAreReadWithTheirDefaultsAndMistakesAreNamed) {
  const struct {
    const char* text;
    FaultKind kind;
    std::int64_t sample;
    double argument;
  } good[] = {{"jump@120", FaultKind::Jump, 120, 6000000},
              {"jump@5:-700000", FaultKind::Jump, 5, -700000},
              {"garbage@200", FaultKind::Garbage, 200, 48},
              {"badlength@7:3", FaultKind::BadLength, 7, 3},
              {"cr@1", FaultKind::Cr, 1, 0},
              {"burst@30:500", FaultKind::Burst, 30, 500},
              {"silence@40:2.5", FaultKind::Silence, 40, 2.5},
              {"vanish@300", FaultKind::Vanish, 300, 5}};
  std::string error;
  for (const auto& c : good) {
    const auto fault = parseFault(c.text, error);
    ASSERT_TRUE(fault) << c.text << ": " << error;
    EXPECT_EQ(fault->kind, c.kind) << c.text;
    EXPECT_EQ(fault->sample, c.sample) << c.text;
    EXPECT_EQ(fault->argument, c.argument) << c.text;
    EXPECT_EQ(describe(*fault), c.text) << "the log writes a fault as it was given";
  }
  for (const char* bad : {"jump", "jump@", "jump@0", "jump@-3", "jump@1x", "jump@4:0", "leap@4",
                          "cr@4:1", "burst@4:1", "garbage@4:0", "silence@4:soon", "silence@4:-1",
                          "badlength@4:1.5", "@4", "vanish@4:"}) {
    EXPECT_FALSE(parseFault(bad, error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
}

TEST(FaultTest, FaultFileSkipsCommentsAndBlankLinesAndNamesTheBadLine) {
  std::string error;
  const auto faults =
      parseFaultList("# a week with trouble\n\njump@120  # outlier\n  cr@5\n", error);
  ASSERT_TRUE(faults) << error;
  ASSERT_EQ(faults->size(), 2u);
  EXPECT_EQ((*faults)[1].kind, FaultKind::Cr);
  EXPECT_FALSE(parseFaultList("jump@1\n\njump@zero\n", error));
  EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
}

// What the instrument sends at each of 12 one-second sample slots of a stream: slot k's text is
// everything advanceTo returns at the moment line k falls due.
std::vector<std::string> streamSlots(const std::vector<Fault>& faults,
                                     std::optional<double>* vanished = nullptr) {
  InstrumentOptions options;
  options.dutHz = 9999999.25;
  options.faults = faults;
  InstrumentModel model(options);
  model.handleCommand("DA145D0000", 0.0);
  model.handleCommand("DB1EF930C0", 0.0);
  model.handleCommand("PH05", 0.0);
  std::vector<std::string> slots;
  for (int k = 1; k <= 12; ++k) {
    slots.push_back(model.advanceTo(k));
    if (vanished && !*vanished) *vanished = model.takeVanish();
  }
  return slots;
}

std::string line(const std::string& text) { return text + "\r\n"; }
std::string digits(const std::string& slot) { return slot.substr(0, 8); }

TEST(FaultTest, EachFaultChangesTheServedBytesAsDescribed) {
  const std::vector<std::string> clean = streamSlots({});
  using Expect = std::function<void(std::vector<std::string>&)>;
  const struct {
    const char* fault;
    Expect change;  // turns the clean slots into the expected ones
  } cases[] = {
      {"jump@3",
       [](auto& s) {
         char shifted[9];
         std::snprintf(shifted, sizeof shifted, "%08lX",
                       (std::stoul(digits(s[2]), nullptr, 16) + 6000000ul) & 0xFFFFFFFFul);
         s[2] = line(shifted);
       }},
      {"badlength@3:3",
       [](auto& s) {
         s[2] = line(digits(s[2]).substr(0, 7));
         s[3] = line(digits(s[3]) + "0");
         s[4] = line(digits(s[4]).substr(0, 7));
       }},
      {"cr@3", [](auto& s) { s[2] = digits(s[2]) + "\r"; }},
      {"burst@3:4",
       [](auto& s) {
         s[5] = s[2] + s[3] + s[4] + s[5];
         s[2] = s[3] = s[4] = "";
       }},
      {"silence@3:2.5", [](auto& s) { s[2] = s[3] = s[4] = ""; }},
      {"vanish@3:10", [](auto& s) { std::fill(s.begin() + 2, s.end(), ""); }},
  };
  for (const auto& c : cases) {
    std::string error;
    std::vector<std::string> expected = clean;
    c.change(expected);
    EXPECT_EQ(streamSlots({*parseFault(c.fault, error)}), expected) << c.fault;
  }

  const std::vector<std::string> garbled = streamSlots({{FaultKind::Garbage, 3, 30}});
  EXPECT_EQ(garbled[2].size(), 32u);
  EXPECT_EQ(garbled[2].find_first_of("\r\n"), 30u);
  EXPECT_NE(garbled[2].find('\x1b'), std::string::npos);
  EXPECT_EQ(std::vector(garbled.begin() + 3, garbled.end()),
            std::vector(clean.begin() + 3, clean.end()));
}

TEST(FaultTest, VanishLeavesThePowerOnInstrumentAfterTheAbsence) {
  InstrumentOptions options;
  options.speedup = 4.0;
  options.faults = {{FaultKind::Vanish, 2, 20}};
  InstrumentModel model(options);
  model.handleCommand("DA145D0000", 0.0);
  model.handleCommand("FN1", 0.0);
  model.handleCommand("PH05", 0.0);
  EXPECT_EQ(model.advanceTo(1.0).size(), 10u);  // lines 1 and 2 due, line 2 never sent
  EXPECT_EQ(model.handleCommand("CL9", 1.0), "") << "nothing answers while the line is away";
  EXPECT_EQ(model.takeVanish(), 5.0) << "20 instrument seconds at speed-up 4";
  EXPECT_FALSE(model.takeVanish());
  EXPECT_FALSE(model.streaming());
  EXPECT_FALSE(model.filtered());
  EXPECT_EQ(model.programmedFrequency(), 1000.0);
  EXPECT_EQ(model.handleCommand("CL9", 6.0), "CL0\r\n");
}

TEST(FaultTest, AFaultHappensOnceInTheFirstStreamThatReachesIt) {
  InstrumentOptions options;
  options.faults = {{FaultKind::Cr, 3, 0}};
  InstrumentModel model(options);
  const auto crOnlyLines = [&model](double start) {
    model.handleCommand("PH05", start);
    const std::string sent = model.advanceTo(start + 4.0);
    model.handleCommand("PH00", start + 4.0);
    return std::count(sent.begin(), sent.end(), '\r') - std::count(sent.begin(), sent.end(), '\n');
  };
  model.handleCommand("PH05", 0.0);
  model.advanceTo(2.0);  // a stream of two lines does not reach sample 3
  model.handleCommand("PH00", 2.0);
  EXPECT_EQ(crOnlyLines(10.0), 1);
  EXPECT_EQ(crOnlyLines(20.0), 0);
}

}  // namespace
}  // namespace tessarin::sim

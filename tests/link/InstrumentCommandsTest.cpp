#include <gtest/gtest.h>

#include "link/InstrumentCommands.h"
namespace tessarin::link {
namespace {

TEST(FrequencyWords, MatchTheInstrumentsWorkedExamples) {
  struct Case {
    double hz;
    std::int32_t n1;
    const char* coarse;
    const char* fine;
  };
  for (const Case& k : {Case{10000000, 5213, "DA145D0000", "DB1EF930C0"},
                        Case{1000000, 298, "DA012A0000", "DB1EF2CA50"},
                        Case{31000000, 16682, "DA412A0000", "DB1EF2CA50"}}) {
    SCOPED_TRACE(k.hz);
    const FrequencyWords words = frequencyWordsFor(k.hz);
    EXPECT_EQ(words.n1, k.n1);
    EXPECT_EQ(words.coarseCommand, k.coarse);
    EXPECT_EQ(words.fineCommand, k.fine);
  }
  const FrequencyWords tenMHz = frequencyWordsFor(10000000);
  EXPECT_EQ(tenMHz.n2, 32477964);
  EXPECT_DOUBLE_EQ(tenMHz.coarseFreq, 9545288.0859375);
  EXPECT_NEAR(tenMHz.fineFreq, 14518781.3044, 5e-5);
  EXPECT_NEAR(programmedFrequency(tenMHz.coarseFreq, tenMHz.fineFreq), 10000000.0017, 5e-5);
}

TEST(FrequencyWords, FineWordHasSevenDigitsAndProgramsWithinAFineStepAcrossTheRange) {
  const double fineStepHz = 120000000.0 / 268435456 / 32;
  for (double hz = 1000000; hz <= 31000000; hz += 999.937) {
    const FrequencyWords words = frequencyWordsFor(hz);
    ASSERT_GE(words.n2, 32433050) << hz;
    ASSERT_LE(words.n2, 32564122) << hz;
    ASSERT_EQ(words.fineCommand.substr(9), "0") << hz;
    ASSERT_LE(std::abs(programmedFrequency(words.coarseFreq, words.fineFreq) - hz),
              fineStepHz / 2 + 1e-9)
        << hz;
  }
}

TEST(readingCounts, ReadsTheFirstEightCharactersAsASignedValue) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  for (const Case& k : {Case{"0000012", 0}, Case{"0000012C", 300}, Case{"0000012Cxy", 300},
                        Case{"0000012c", 300}, Case{"FFFFFFFF", -1}, Case{"0000FFFF", 65535},
                        Case{"80000000", INT32_MIN}, Case{"7FFFFFFF", INT32_MAX},
                        Case{"12G40001", 0x00120001}, Case{"G0000001", 1}, Case{"", 0}}) {
    EXPECT_EQ(readingCounts(k.text), k.value) << k.text;
  }
}

TEST(tauCommand, GivesWholeMillisecondsAsEightHexDigits) {
  struct Case {
    double ms;
    const char* command;
  };
  for (const Case& k :
       {Case{200, "TA000000C8"}, Case{1000, "TA000003E8"}, Case{10000, "TA00002710"},
        Case{300000, "TA000493E0"}, Case{999.5, "TA000003E8"}, Case{1000.5, "TA000003E8"}}) {
    EXPECT_EQ(tauCommand(k.ms), k.command) << k.ms;
  }
}

}  // namespace
}  // namespace tessarin::link

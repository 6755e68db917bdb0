#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/ReplyFramer.h"

namespace tessarin::link {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

struct FramerCase {
  const char* name;
  std::vector<std::string> chunks;  // the characters as they arrive, read by read
  Lines lines;                      // the lines handed over
};

class ReplyFramerTest : public ::testing::TestWithParam<FramerCase> {};

TEST_P(ReplyFramerTest, HandsOverTheLinesTheInstrumentSent) {
  ReplyFramer framer;
  Lines handed;
  for (const std::string& chunk : GetParam().chunks)
    for (const char ch : chunk)
      if (const auto line = framer.take(ch)) handed.emplace_back(*line);
  EXPECT_EQ(handed, GetParam().lines);
}

const std::string kLongest(ReplyFramer::kMaxLineLength, 'x');

INSTANTIATE_TEST_SUITE_P(
    Framing, ReplyFramerTest,
    ::testing::Values(
        FramerCase{"CrLfEndsALine", {"CL1\r\n"}, {"CL1"}},
        FramerCase{
            "LinesFollowOneAnother", {"CB001E8480\r\n00001234\r\n"}, {"CB001E8480", "00001234"}},
        FramerCase{"ALineSplitOverSeveralReadsIsWhole",
                   {"CB00", "1E8480\r", "\n0000", "1234\r\n"},
                   {"CB001E8480", "00001234"}},
        FramerCase{"CrAloneHandsTheSameGrowingLineOverAgain",
                   {"0000012C\r\rCL1\r\n"},
                   {"0000012C", "0000012C", "0000012CCL1"}},
        FramerCase{"LfAloneDropsTheCollectedText", {"AB\nCL1\r\n", "\n\r"}, {"CL1", ""}},
        FramerCase{"AnOverlongLineIsCappedAndTheRestDroppedUntilTheNextLf",
                   {std::string(10000, 'x'), "yz\r", "more\r", "\nCL1\r\n"},
                   {kLongest, kLongest, "CL1"}},
        FramerCase{"BinaryBytesPassThroughAsCharacters",
                   {"\0\xFF\x1B[2J\x7F"s + "\r\n"},
                   {"\0\xFF\x1B[2J\x7F"s}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace tessarin::link

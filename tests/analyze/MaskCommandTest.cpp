#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "analyze/AnalyzerFolder.h"

namespace tessarin::analyze {
namespace {

class MaskCommand : public AnalyzerFolder {
 protected:
  // Time error, one value a second: a clock 0.3 ns/s off frequency, whose MTIE over tau is
  // 0.3 tau ns; a quiet one that stays within a few tenths of a nanosecond; and one that turns
  // noisy, tens of nanoseconds, from its 2048th second on.
  void writeClocks() const {
    std::string offset, quiet, noisy;
    for (int k = 0; k < 4096; ++k) {
      const int scatter = (k * 7919) % 41 - 20;
      offset += line(0.3e-9 * k);
      quiet += line(1e-11 * scatter);
      noisy += line((k < 2048 ? 1e-11 : 1e-9) * scatter);
    }
    write("offset.txt", offset);
    write("quiet.txt", quiet);
    write("noisy.txt", noisy);
  }

  static std::string line(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.12e\n", value);
    return text;
  }

  static int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }
};

TEST_F(MaskCommand, AddsTheMaskColumnsSumsUpEachMaskAndExitsThreeOnAFailure) {
  writeClocks();
  const struct {
    const char* arguments;
    int exitCode;
    int rows;  // CSV rows under the header
    const char* inOut;
    const char* inErr;
  } cases[] = {
      // MTIE 0.3 * 512 = 153.6 ns over PRTC-A's 100 ns from 273 s on; 256 s passes.
      {"--phase --tau0 1 --stat mtie --mask prtc-a --csv offset.txt", 3, 12, "mtie,256,256,7.6",
       "mtie against G.8272 PRTC-A (ITU-T G.8272 (11/2018), Table 1): "
       "fail at tau 512, 1024, 2048 s; worst margin"},
      {"--phase --tau0 1 --stat mtie --mask prtc-a --csv offset.txt", 3, 12, ",prtc-a,1e-07,-5.3",
       ""},
      // Two statistics times two masks: a row for each, over 12 and 11 octave taus.
      {"--phase --tau0 1 --stat mtie,tdev --mask prc,eec1 --csv quiet.txt", 0, 46,
       "statistic,tau,m,value,terms,ci_low,ci_high,mask,limit,margin,verdict\n",
       "tdev against G.8262 EEC option 1 (ITU-T G.8262 (07/2010), Table 3): pass; worst margin"},
      // EEC option 1 ends at 1000 s: beyond it the rows are not covered, with no limit.
      {"--phase --tau0 1 --stat tdev --mask eec1 --csv quiet.txt", 0, 11, ",eec1,,,not covered\n",
       "; not covered at tau 1024 s"},
      // A series a thousand times too fast for the mask: not covered, never a pass.
      {"--phase --tau0 1e-5 --stat tdev --mask prc quiet.txt", 0, -1, "not covered",
       "tdev against G.811 PRC (ITU-T G.811 (09/97), Table 2): not covered: the mask holds for "
       "tau 0.1 to 10000 s, the results at tau 1e-05 to 0.01024 s"},
      {"--phase --tau0 1 --stat tdev --mask prtc-b --dynamic 1000:500 offset.txt", 0, -1, "",
       "tdev against G.8272 PRTC-B (ITU-T G.8272 (11/2018), Table 2): met in every window (7 of 7 "
       "windows covered)"},
      // The windows that reach into the noisy half fail PRTC-B's 1 ns: from the one at 1500 on.
      {"--phase --tau0 1 --stat tdev --mask prtc-b --dynamic 1000:500 noisy.txt", 3, -1, "",
       "fail: first in the window at point 1500, at tau 1 s; in 4 of 7 windows"},
      {"--phase --tau0 1 --stat tdev --mask prc,foo quiet.txt", 1, -1, "",
       "bad value for --mask: 'foo' (the masks are prc, prtc-a, prtc-b, eprtc, eec1, eec2)"},
      {"--phase --tau0 1 --stat tdev,oadev --mask prc quiet.txt", 1, -1, "",
       "--mask holds mtie and tdev to their limits: not oadev"},
      {"--phase --tau0 1 --mask prc quiet.txt", 1, -1, "", "not oadev"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const Outcome outcome = run(c.arguments);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.err;
    if (c.rows >= 0) {
      EXPECT_EQ(lines(outcome.out), c.rows + 1);
    }
    EXPECT_NE(outcome.out.find(c.inOut), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.inErr), std::string::npos) << outcome.err;
  }
}

TEST_F(MaskCommand, TheReportCarriesTheVerdictsAndVerifyHoldsThemToTheData) {
  writeClocks();
  ASSERT_EQ(run("--phase --tau0 1 --stat mtie --mask prtc-a --report r.pdf offset.txt").exitCode,
            3);
  const std::string record = read("r.json");
  EXPECT_NE(record.find("\"verdict\": \"fail\""), std::string::npos);
  EXPECT_NE(record.find("\"source\": \"ITU-T G.8272 (11/2018), Table 1\""), std::string::npos);
  EXPECT_EQ(run("--verify r.json").exitCode, 0);

  std::string tampered = record;
  tampered.replace(tampered.find("\"verdict\": \"fail\""), 17, "\"verdict\": \"pass\"");
  write("r.json", tampered);
  const Outcome verify = run("--verify r.json");
  EXPECT_EQ(verify.exitCode, 2);
  EXPECT_NE(verify.err.find("column file, mtie against prtc-a"), std::string::npos) << verify.err;
}

}  // namespace
}  // namespace tessarin::analyze

#include <gtest/gtest.h>

#include <QFileInfo>
#include <random>
#include <string>
#include <vector>

#include "analyze/AnalyzerFolder.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

// Three oscillators of white frequency noise, 400 samples a second apart on one time line;
// C is given no noise of its own, so that its separated variance is often negative.
class HatCommand : public AnalyzerFolder {
 protected:
  HatCommand() {
    std::mt19937_64 random(7);
    std::normal_distribution<double> step(0.0, 1e-11);
    double a = 0, b = 0;
    for (int k = 0; k < 400; ++k) {
      a += step(random);
      b += 2 * step(random);
      lines_[0].push_back(sample(a - b));
      lines_[1].push_back(sample(b));
      lines_[2].push_back(sample(-a));
    }
  }

  static std::string sample(double x) { return run::formatSampleLine(x).toStdString(); }

  // Pair `pair` as a phase run starting `second` seconds after 09:14:00, samples [from, to).
  std::string writeRun(const std::string& name, int pair, int second, int from, int to) const {
    run::RunHeader header;
    header.path = QString::fromStdString(name);
    header.date = "06/12/2026";
    header.time = QString("09:14:0%1").arg(second);
    header.dutHz = 10e6;
    header.tauMs = 1000;
    header.stored = run::Quantity::Phase;
    std::string dat = run::formatRunHeader(header).toStdString();
    for (int k = from; k < to; ++k) dat += lines_[pair][static_cast<std::size_t>(k)];
    return write(name, dat);
  }

  std::string writeColumns(const std::string& name, int pair, int from, int to) const {
    std::string columns;
    for (int k = from; k < to; ++k) columns += lines_[pair][static_cast<std::size_t>(k)];
    return write(name, columns);
  }

  std::vector<std::string> lines_[3];  // A-B, B-C, C-A
};

TEST_F(HatCommand, RunsStartingAtDifferentSecondsGiveTheHandAlignedColumnFilesResult) {
  // A-B from second 0, B-C from second 5, C-A from second 2: they share samples 5 to 349.
  writeRun("ab.DAT", 0, 0, 0, 390);
  writeRun("bc.DAT", 1, 5, 5, 400);
  writeRun("ca.DAT", 2, 2, 2, 350);
  writeColumns("ab.txt", 0, 5, 350);
  writeColumns("bc.txt", 1, 5, 350);
  writeColumns("ca.txt", 2, 5, 350);
  const Outcome dat = run("--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --stat oadev,mdev --csv");
  const Outcome columns =
      run("--hat A-B=ab.txt,B-C=bc.txt,C-A=ca.txt --phase --tau0 1 --stat oadev,mdev --csv");
  ASSERT_EQ(dat.exitCode, 0) << dat.err;
  EXPECT_EQ(dat.out, columns.out);
  EXPECT_EQ(dat.out.substr(0, dat.out.find('\n')),
            "oscillator,statistic,tau,m,value,terms,ci_low,ci_high,note");
  EXPECT_NE(dat.out.find("\nA,oadev,1,1,"), std::string::npos);
  EXPECT_NE(dat.out.find("\nC,mdev,1,1,"), std::string::npos);
  // C's negative estimates: no value, no lower bound, the upper bound and the note.
  EXPECT_NE(dat.out.find("\nC,oadev,16,16,,313,,"), std::string::npos) << dat.out;
  EXPECT_NE(dat.out.find(",negative estimate: upper bound only\n"), std::string::npos);
  EXPECT_EQ(dat.out.find("nan"), std::string::npos);

  // Without intervals: the same values, no bounds, and a note where the variance is negative.
  const Outcome bare = run("--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --ci none --csv");
  ASSERT_EQ(bare.exitCode, 0) << bare.err;
  EXPECT_NE(bare.out.find("\nC,oadev,16,16,,313,,,negative estimate: no value\n"),
            std::string::npos)
      << bare.out;
  const std::size_t row = dat.out.find("\nA,oadev,2,2,");
  const std::string value = dat.out.substr(row, dat.out.find(',', row + 13) - row);
  EXPECT_NE(bare.out.find(value + ",341,,,\n"), std::string::npos) << value;

  const Outcome table = run("--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --plot hat.png");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_NE(table.out.find("# B-C: bc.DAT, 06/12/2026 09:14:05, 395 phase points"),
            std::string::npos)
      << table.out;
  EXPECT_NE(table.out.find("# 345 phase points of 1 s shared, A-B from its sample 5 on, C-A "
                           "from its sample 3 on"),
            std::string::npos);
  EXPECT_NE(table.out.find("# triangle of 3 oscillators: three-cornered hat of Gray and Allan"),
            std::string::npos);
  EXPECT_GT(QFileInfo(path("hat.png").c_str()).size(), 1000);
}

TEST_F(HatCommand, ItsReportIsVerifiedFigureByFigureAndNamesAPairFileThatChanged) {
  writeRun("ab.DAT", 0, 0, 0, 300);
  writeRun("bc.DAT", 1, 1, 1, 300);
  writeRun("ca.DAT", 2, 0, 0, 300);
  const Outcome made =
      run("--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --stat oadev,totdev --report hat.pdf");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_GT(QFileInfo(path("hat.pdf").c_str()).size(), 1000);
  const std::string record = read("hat.json");
  EXPECT_NE(record.find("\"oscillator\": \"C\""), std::string::npos);
  EXPECT_NE(record.find("\"note\": \"negative estimate: upper bound only\""), std::string::npos);
  const Outcome verified = run("--verify hat.json");
  EXPECT_EQ(verified.exitCode, 0) << verified.err;
  EXPECT_NE(verified.out.find("hat.json: verified"), std::string::npos);
  writeRun("bc.DAT", 1, 1, 2, 301);
  const Outcome changed = run("--verify hat.json");
  EXPECT_EQ(changed.exitCode, 2);
  EXPECT_NE(changed.err.find("bc.DAT:14: the line has changed since the report"), std::string::npos)
      << changed.err;
  EXPECT_NE(changed.err.find("hat.json: N-cornered hat, A oadev at m = 1 (tau 1 s): value is "),
            std::string::npos);
}

TEST_F(HatCommand, RefusesPairsThatCannotMakeOneHatWithOneLineNamingTheFiles) {
  writeRun("ab.DAT", 0, 0, 0, 100);
  writeRun("bc.DAT", 1, 0, 0, 100);
  writeRun("ca.DAT", 2, 0, 0, 100);
  writeRun("late.DAT", 2, 0, 0, 0);
  run::RunHeader slow;
  slow.date = "06/12/2026";
  slow.time = "09:14:00";
  slow.tauMs = 10000;
  slow.stored = run::Quantity::Phase;
  write("slow.DAT", run::formatRunHeader(slow).toStdString() + lines_[2][0] + lines_[2][1]);
  const Refusal cases[] = {
      {"--hat A-B=ab.DAT,B-C=bc.DAT,B-A=ca.DAT", 2,
       "ab.DAT and ca.DAT: the pair B-A is given twice"},
      {"--hat A-B=ab.DAT", 2, "ab.DAT: the hat needs at least three oscillators"},
      {"--hat A-B=ab.DAT,C-D=bc.DAT,D-E=ca.DAT", 2, "bc.DAT: the pair C-D cannot be tied"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=slow.DAT", 2,
       "ab.DAT, slow.DAT: the pairs differ in tau (1 s and 10 s)"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=missing.DAT", 2, "missing.DAT"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C_A=ca.DAT", 1, "bad value for --hat: 'C_A=ca.DAT'"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT ab.DAT", 1, "no input file beside it"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --psd sy", 1, "not with --dynamic, --psd"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --outliers 5", 1, "not with --outliers"},
      {"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT --stat mtie", 2, "mtie is not one"},
  };
  expectRefusals(cases);
  writeRun("far.DAT", 2, 0, 0, 0);
  write("far.DAT", read("far.DAT").replace(read("far.DAT").find("06/12/2026"), 10, "07/12/2026") +
                       lines_[2][0] + lines_[2][1]);
  const Refusal apart[] = {{"--hat A-B=ab.DAT,B-C=bc.DAT,C-A=far.DAT", 2,
                            "ab.DAT, bc.DAT, far.DAT: the pairs share no span"}};
  expectRefusals(apart);
}

}  // namespace
}  // namespace tessarin::analyze

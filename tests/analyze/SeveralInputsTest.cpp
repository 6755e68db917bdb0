#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analyze/AnalyzerFolder.h"
#include "output/OverlayLines.h"
#include "output/PlotFile.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

class SeveralInputs : public AnalyzerFolder {
 protected:
  // A .DAT file of `runs` phase runs of 64 samples, each its own noise from `seed` on.
  void writeDat(const std::string& name, int runs, int seed) const {
    std::string text;
    for (int r = 0; r < runs; ++r) {
      text += phaseRunHeader();
      for (int k = 1; k <= 64; ++k)
        text +=
            run::formatSampleLine(1e-9 * k + 1e-11 * ((k * (7919 + seed + r)) % 13)).toStdString();
    }
    write(name, text);
  }

  // The lines of `text` after its first (the CSV header).
  static std::vector<std::string> rows(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
  }
};

// Each input of a comparison is the analysis it would have alone: the CSV's rows, with the
// source in front, and the table's blocks one after another.
TEST_F(SeveralInputs, EqualsTheSingleInputRunsRowByRowAndBlockByBlock) {
  writeDat("a.DAT", 2, 0);
  writeDat("b.DAT", 1, 5);
  std::string column;
  for (int k = 1; k <= 50; ++k) column += std::to_string(1e-9 * ((k * k) % 7)) + "\n";
  write("c.txt", column);
  const std::string options = "--stat oadev,mdev --noise ";
  const Outcome all = run(options + "--csv --run all --phase --tau0 1 a.DAT b.DAT c.txt");
  ASSERT_EQ(all.exitCode, 0) << all.err;
  const struct {
    const char* source;
    const char* alone;
  } inputs[] = {{"a.DAT run 1", "--run 1 a.DAT"},
                {"a.DAT run 2", "--run 2 a.DAT"},
                {"b.DAT", "b.DAT"},
                {"c.txt", "--phase --tau0 1 c.txt"}};
  std::vector<std::string> expected;
  for (const auto& input : inputs) {
    const Outcome alone = run(options + "--csv " + input.alone);
    ASSERT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_EQ("source," + alone.out.substr(0, alone.out.find('\n')),
              all.out.substr(0, all.out.find('\n')));
    for (const std::string& row : rows(alone.out)) expected.push_back(input.source + ("," + row));
  }
  EXPECT_EQ(rows(all.out), expected);

  const Outcome table = run(options + "--run all a.DAT b.DAT");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(table.out, run(options + "--run all a.DAT").out + "\n" + run(options + "b.DAT").out);
}

TEST_F(SeveralInputs, RefusesWhatOnePictureCannotShowAndInputsItCannotTellApart) {
  writeDat("a.DAT", 7, 0);
  writeDat("b.DAT", 6, 1);
  write("c.txt", "1e-9\n2e-9\n3e-9\n4e-9\n");
  write("sheet.txt", "1 1e-11\n10 x\n");
  std::string thirteen;
  for (int i = 0; i < 13; ++i) thirteen += " b.DAT";
  const Refusal cases[] = {
      {thirteen.c_str(), 1, "13 input files: one picture and table compare up to 12"},
      {"--run all a.DAT b.DAT b.DAT", 1, "19 inputs (files and runs)"},
      {"a.DAT c.txt", 1, "inputs of different kinds mixed: 'a.DAT' is a .DAT file, 'c.txt'"},
      {"--psd lf a.DAT b.DAT", 1, "not with --list, --dynamic, --join, --list-outliers, --psd"},
      {"--overlay xo:h0=1e-22 a.DAT", 1, "draw over the deviations of --plot"},
      {"--plot p.png --overlay xo:h1=1e-22 a.DAT", 1, "need the measurement bandwidth fh=HZ"},
      {"--plot p.png --overlay xo:h3=1 a.DAT", 1, "'h3' is none of h2, h1, h0, h-1, h-2, fh"},
      {"--plot p.png --overlay xo:h0=-1 a.DAT", 1, "'h0=-1' is not a level"},
      {"--plot p.png --overlay-points sheet.txt a.DAT", 2, "sheet.txt:2: not a positive tau"},
  };
  expectRefusals(cases);
  // The 13 traces are written all the same with --csv: one row of each per averaging factor.
  const Outcome csv = run("--csv --run all a.DAT b.DAT");
  EXPECT_EQ(csv.exitCode, 0) << csv.err;
  EXPECT_NE(csv.out.find("\nb.DAT run 6,oadev,1,1,"), std::string::npos);
}

// The report compares first and then gives each input's pages; its record lists every input and
// every run by its file, and --verify checks them all again.
TEST_F(SeveralInputs, ReportsTheComparisonAndVerifiesEveryInput) {
  writeDat("a.DAT", 2, 0);
  writeDat("b.DAT", 1, 5);
  const Outcome made = run("--run all --stat oadev --report r.pdf a.DAT b.DAT");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_TRUE(read("r.pdf").starts_with("%PDF"));
  const std::string record = read("r.json");
  for (const char* part :
       {"\"inputs\"", "a.DAT, run 1 of 2", "a.DAT, run 2 of 2", "b.DAT, run 1 of 1"})
    EXPECT_NE(record.find(part), std::string::npos) << part;
  const Outcome verified = run("--verify r.json");
  EXPECT_EQ(verified.exitCode, 0) << verified.err;
  writeDat("b.DAT", 1, 6);
  const Outcome changed = run("--verify r.json");
  EXPECT_EQ(changed.exitCode, 2);
  EXPECT_NE(changed.err.find("b.DAT:"), std::string::npos) << changed.err;
  EXPECT_NE(changed.err.find("b.DAT, run 1 of 1, oadev at m = 1"), std::string::npos)
      << changed.err;
}

// The Allan deviation of a model by SP 1065's relations: sigma^2 = h0 / (2 tau) for white FM,
// 2 ln 2 h-1 for flicker FM, (2 pi^2 / 3) h-2 tau for random-walk FM, 3 fh h2 / (4 pi^2 tau^2)
// for white PM.
TEST(OverlayLines, DrawsAModelsAllanDeviationAndTwelveTracesApart) {
  constexpr double pi = std::numbers::pi;
  const struct {
    cli::ModelOverlay model;
    double (*variance)(double tau);
  } models[] = {
      {{"wfm", {{0, 2e-22}}, {}}, [](double tau) { return 2e-22 / (2 * tau); }},
      {{"ffm", {{-1, 1e-24}}, {}}, [](double) { return 2 * std::numbers::ln2 * 1e-24; }},
      {{"rwfm", {{-2, 3e-30}}, {}}, [](double tau) { return 2 * pi * pi / 3 * 3e-30 * tau; }},
      {{"wpm", {{2, 4e-26}}, 50.0},
       [](double tau) { return 3 * 50 * 4e-26 / (4 * pi * pi * tau * tau); }},
      {{"sum", {{0, 2e-22}, {-2, 3e-30}}, {}},
       [](double tau) { return 2e-22 / (2 * tau) + 2 * pi * pi / 3 * 3e-30 * tau; }},
  };
  for (const auto& m : models) {
    const output::OverlayLine line = output::modelLine(m.model, 0.1, 1000);
    ASSERT_GT(line.tau.size(), 20) << m.model.name;
    EXPECT_NEAR(line.tau.front(), 0.1, 1e-12);
    EXPECT_NEAR(line.tau.back(), 1000, 1e-9);
    for (qsizetype i = 0; i < line.tau.size(); ++i) {
      const double expected = std::sqrt(m.variance(line.tau[i]));
      EXPECT_NEAR(line.value[i], expected, 1e-12 * expected) << m.model.name << " " << line.tau[i];
    }
  }

  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "several-inputs-test";
  char* argv[] = {name};
  QApplication application(argc, argv);
  const records::RecordedRun recorded;
  std::vector<output::AnalysedRun> traces(12);
  for (int i = 0; i < 12; ++i) {
    traces[i].run = &recorded;
    traces[i].source = "osc" + std::to_string(i) + ".DAT";
    stability::AnalysisRow row{{1, 1, 1e-11 * (i + 1), 10}, 0, 5, {0.9e-11, 1.1e-11}};
    traces[i].analysis.statistics.push_back({stability::Statistic::Oadev, {row}});
  }
  const output::OverlayLine sheet{"data sheet", {1, 10}, {1e-11, 1e-12}};
  QCustomPlot plot;
  output::drawStability(plot, traces, false, std::span(&sheet, 1));
  ASSERT_EQ(plot.graphCount(), 13);
  std::set<std::pair<QRgb, int>> looks;
  for (int g = 0; g < 12; ++g) {
    EXPECT_EQ(plot.graph(g)->name(), QString("osc%1.DAT: oadev").arg(g));
    looks.insert({plot.graph(g)->pen().color().rgb(), plot.graph(g)->scatterStyle().shape()});
  }
  EXPECT_EQ(looks.size(), 12u);  // no two traces alike
  EXPECT_EQ(plot.graph(12)->name(), "data sheet");
  EXPECT_TRUE(plot.graph(12)->scatterStyle().isNone());
  // The legend stands beside the axes, where its 13 names hide no curve.
  EXPECT_EQ(plot.legend->layout(), plot.plotLayout());
}

}  // namespace
}  // namespace tessarin::analyze

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "analyze/AnalyzerFolder.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

// In osc.DAT's phase run the header takes 13 lines: sample k (from 0) lies on line 14 + k.
constexpr int kFirstSampleLine = 14;
// The phase sample of osc.DAT's spike.
constexpr int kSpike = 40;

class Conditioning : public AnalyzerFolder {
 protected:
  // osc.DAT: 200 phase samples a second of white frequency noise, a spike of 5 ns at kSpike;
  // gapped.DAT the same with that sample's line damaged. f.txt: 3000 fractional frequencies a
  // minute, a step at 1800 and outliers at 500 and 2500.
  void writeInputs() const {
    std::mt19937_64 random(11);
    std::normal_distribution<double> noise(0, 1e-11);
    std::string dat = phaseRunHeader();
    std::string gapped = dat;
    double x = 0;
    for (int k = 0; k < 200; ++k) {
      x += noise(random);
      dat += run::formatSampleLine(x + (k == kSpike ? 5e-9 : 0)).toStdString();
      gapped += k == kSpike ? std::string("garbage\r\n") : run::formatSampleLine(x).toStdString();
    }
    write("osc.DAT", dat);
    write("gapped.DAT", gapped);
    std::string column;
    for (int k = 0; k < 3000; ++k) {
      double y = 1e-9 + noise(random) / 10 + (k >= 1800 ? 1e-11 : 0);
      if (k == 500 || k == 2500) y += 1e-9;
      char line[40];
      std::snprintf(line, sizeof line, "%.17g\n", y);
      column += line;
    }
    write("f.txt", column);
  }

  // Changes r.json's record of the first run's conditioning step `step` (from 0).
  void alterStep(qsizetype step, const std::function<void(QJsonObject&)>& change) const {
    QJsonObject root = record();
    QJsonArray runs = root.value("runs").toArray();
    QJsonObject first = runs.at(0).toObject();
    QJsonArray steps = first.value("conditioning").toArray();
    QJsonObject altered = steps.at(step).toObject();
    change(altered);
    steps.replace(step, altered);
    first.insert("conditioning", steps);
    runs.replace(0, first);
    root.insert("runs", runs);
    write("r.json", QJsonDocument(root).toJson().toStdString());
  }

  QJsonObject record() const {
    return QJsonDocument::fromJson(QByteArray::fromStdString(read("r.json"))).object();
  }
};

TEST_F(Conditioning, RefusesBadChoicesWithOneLine) {
  writeInputs();
  const Refusal refusals[] = {
      {"--freq --tau0 60 --outliers 0 f.txt", 1, "bad value for --outliers: '0' (K above 0"},
      {"--freq --tau0 60 --outliers -3 f.txt", 1, "bad value for --outliers: '-3'"},
      {"--freq --tau0 60 --find-steps x f.txt", 1, "bad value for --find-steps: 'x'"},
      {"--freq --tau0 60 --remove-drift cubic f.txt", 1,
       "unknown drift model for --remove-drift: 'cubic' (linear, quadratic, log, diffusion"},
      {"--freq --tau0 60 --remove-drift=Log f.txt", 1, "unknown drift model for --remove-drift"},
      {"--freq --tau0 60 --remove-drift average f.txt", 1,
       "--remove-drift average: the drift model average is for phase data"},
      {"--phase --tau0 1 --remove-drift log f.txt", 1,
       "the drift model log is for frequency data, and these are phase data"},
      {"--remove-drift diffusion osc.DAT", 2,
       "osc.DAT:7: run 1: the drift model diffusion is for frequency data"},
      {"--list-outliers osc.DAT", 1, "--list-outliers lists the outliers of --outliers K: give K"},
      {"--outliers 5 --list-outliers --plot p.png osc.DAT", 1, "lists the outliers and stops"},
      {"--remove-steps osc.DAT", 1, "--remove-steps removes the steps --find-steps SIGMAS finds"},
      {"--outliers 0.3 osc.DAT", 2, "lie beyond 0.3 MADs of the median, more than 5 %"},
  };
  expectRefusals(refusals);
  for (const Refusal& t : refusals) {
    const std::string err = run(t.arguments).err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << t.arguments << ": " << err;
  }
}

TEST_F(Conditioning, ListsOutliersWithSampleLineTimeValueAndMadsAndTakesThemAsGaps) {
  writeInputs();
  const Outcome listed = run("--outliers 6 --list-outliers --csv osc.DAT");
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  std::istringstream rows(listed.out);
  std::string row;
  std::getline(rows, row);
  EXPECT_EQ(row, "sample,line,time,value,mads");
  // The spike's two differences, named by their later phase samples.
  for (const int sample : {kSpike, kSpike + 1}) {
    ASSERT_TRUE(std::getline(rows, row));
    const std::string time = "2026-12-06T09:14:" + std::to_string(2 + sample);
    EXPECT_EQ(row.substr(0, row.find(',', row.find(time))),
              std::to_string(sample) + ',' + std::to_string(kFirstSampleLine + sample) + ',' + time)
        << row;
  }
  EXPECT_FALSE(std::getline(rows, row)) << row;

  const Outcome table = run("--outliers 6 osc.DAT");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_NE(table.out.find("2 of 199 frequencies, taken as gaps: sample 40, 41\n"),
            std::string::npos)
      << table.out;
  // Taken as a gap, the spike's sample leaves the same figures as a damaged line in its place.
  const Outcome csv = run("--outliers 6 --csv --stat oadev,mdev,mtie osc.DAT");
  EXPECT_EQ(csv.out, run("--csv --stat oadev,mdev,mtie gapped.DAT").out);
  EXPECT_NE(csv.err.find("osc.DAT:7: run 1: outliers beyond 6 MADs"), std::string::npos) << csv.err;
}

TEST_F(Conditioning, RunsTheStepsInOneOrderWhateverTheOrderOfTheOptions) {
  writeInputs();
  const Outcome forwards =
      run("--freq --tau0 60 --outliers 5 --find-steps 6 --remove-steps --remove-drift linear "
          "--remove-offset f.txt");
  const Outcome backwards =
      run("--freq --tau0 60 --remove-offset --remove-drift linear --remove-steps --find-steps 6 "
          "--outliers 5 f.txt");
  ASSERT_EQ(forwards.exitCode, 0) << forwards.err;
  EXPECT_EQ(forwards.out, backwards.out);
  for (const char* said :
       {"# outliers beyond 5 MADs", "taken as gaps: sample 500, 2500\n",
        "# frequency steps beyond 6 sigmas", "1 found, removed\n",
        "# frequency step at sample 1800: 1.0",
        "# drift model linear (y = a + b t, t in days from the first sample): a = ",
        "# mean fractional frequency"}) {
    EXPECT_NE(forwards.out.find(said), std::string::npos) << said << " not in " << forwards.out;
  }
  EXPECT_LT(forwards.out.find("# outliers"), forwards.out.find("# frequency steps"));
  EXPECT_LT(forwards.out.find("# frequency steps"), forwards.out.find("# drift model"));
  EXPECT_LT(forwards.out.find("# drift model"), forwards.out.find("# mean fractional"));
}

TEST_F(Conditioning, RemoveDriftAloneIsThePhaseQuadraticAndKeepsItsOneLine) {
  writeInputs();
  const Outcome alone = run("--remove-drift --csv osc.DAT");
  const Outcome named = run("--remove-drift quadratic --csv osc.DAT");
  ASSERT_EQ(alone.exitCode, 0) << alone.err;
  EXPECT_EQ(alone.out, named.out);
  EXPECT_EQ(alone.err.find("drift model"), std::string::npos) << alone.err;
  EXPECT_NE(alone.err.find("osc.DAT:7: run 1: linear frequency drift "), std::string::npos);
  EXPECT_NE(named.err.find("drift model quadratic (x = a + b t + c t^2 on the phase, the drift "
                           "2c): drift = "),
            std::string::npos)
      << named.err;
}

TEST_F(Conditioning, VerifyRedoesEveryStepAndNamesTheRecordedStepThatWasAltered) {
  const struct {
    const char* name;
    qsizetype step;  // of the first run's conditioning, from 0
    std::function<void(QJsonObject&)> change;
    const char* said;
  } cases[] = {
      {"untouched", 0, nullptr, "r.json: verified"},
      {"an outlier moved", 0,
       [](QJsonObject& step) {
         QJsonArray outliers = step.value("outliers").toArray();
         QJsonObject first = outliers.at(0).toObject();
         first.insert("sample", 501);
         outliers.replace(0, first);
         step.insert("outliers", outliers);
       },
       "column file: conditioning, outliers: outliers 1: sample is 500, the report says 501"},
      {"the steps kept", 1, [](QJsonObject& step) { step.insert("removed", false); },
       "column file: conditioning, steps: removed is true, the report says false"},
      {"a coefficient changed", 2,
       [](QJsonObject& step) {
         QJsonArray coefficients = step.value("coefficients").toArray();
         QJsonObject b = coefficients.at(1).toObject();
         b.insert("value", 1e-12);
         coefficients.replace(1, b);
         step.insert("coefficients", coefficients);
       },
       "column file: conditioning, drift: coefficients 2: value is "},
  };
  for (const auto& t : cases) {
    writeInputs();
    const Outcome made =
        run("--freq --tau0 60 --outliers 5 --find-steps 6 --remove-steps --remove-drift linear "
            "--report r.pdf f.txt");
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const QJsonArray steps =
        record().value("runs").toArray().at(0).toObject().value("conditioning").toArray();
    ASSERT_EQ(steps.size(), 3);
    EXPECT_EQ(steps.at(0).toObject().value("outliers").toArray().at(1).toObject().value("line"),
              2501);
    if (t.change) alterStep(t.step, t.change);
    const Outcome verified = run("--verify r.json");
    EXPECT_EQ(verified.exitCode, t.change ? 2 : 0) << t.name << ": " << verified.err;
    EXPECT_NE((verified.out + verified.err).find(t.said), std::string::npos)
        << t.name << ": " << verified.out << verified.err;
  }
  if (!QFile::exists("/usr/bin/pdftotext")) GTEST_SKIP() << "/usr/bin/pdftotext is missing";
  ASSERT_EQ(std::system(("pdftotext '" + path("r.pdf") + "' '" + path("r.txt") + "'").c_str()), 0);
  const std::string text = read("r.txt");
  for (const char* said : {"How this analysis was made", "Conditioning", "outliers beyond 5 MADs",
                           "frequency steps beyond 6", "drift model linear"})
    EXPECT_NE(text.find(said), std::string::npos) << said << " not in:\n" << text;
}

}  // namespace
}  // namespace tessarin::analyze

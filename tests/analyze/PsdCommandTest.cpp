#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <random>
#include <string>

#include "analyze/AnalyzerFolder.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

class SpectrumCommand : public AnalyzerFolder {
 protected:
  // A phase run of 512 samples of white phase noise at 10 MHz, tau 1 s, with a gap (a damaged
  // line) at sample 300, and the same samples, gap and all, as a column file.
  void writeRun() const {
    std::string dat = phaseRunHeader();
    std::string columns;
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(0, 1e-11);
    for (int k = 0; k < 512; ++k) {
      const std::string line = run::formatSampleLine(noise(random)).toStdString();
      dat += k == 300 ? std::string("garbage\r\n") : line;
      // The column file holds the very numbers the .DAT file does.
      columns += k == 300 ? std::string("NaN\n") : line.substr(0, line.find(' ', 1)) + '\n';
    }
    write("osc.DAT", dat);
    write("osc.txt", columns);
  }

  static std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      all.push_back(text.substr(start, end - start));
    return all;
  }
};

TEST_F(SpectrumCommand, WritesTheBandsAndRawBinsAsCsvWithTheirAveragesAndNoNaN) {
  writeRun();
  // Segments of 64 every 32 points: 15, of which the two holding sample 300 are left out.
  const Outcome raw = run("--psd sy --segment 64 --bands raw --csv osc.DAT");
  ASSERT_EQ(raw.exitCode, 0) << raw.err;
  const std::vector<std::string> rows = lines(raw.out);
  EXPECT_EQ(rows.front(), "quantity,f,value,bins,averages,ci_low,ci_high");
  ASSERT_EQ(rows.size(), 1U + 31);  // bins 1 ... 31: 0 and the Nyquist frequency left out
  EXPECT_TRUE(rows[1].starts_with("sy,0.015625,")) << rows[1];
  EXPECT_TRUE(rows.back().starts_with("sy,0.484375,")) << rows.back();
  EXPECT_TRUE(rows[1].find(",1,13,") != std::string::npos) << rows[1];
  EXPECT_EQ(raw.out.find("nan"), std::string::npos);

  // The column file with --nominal gives L(f) in bands, the same as the .DAT run's header does.
  const Outcome columns =
      run("--phase --tau0 1 --nominal 10e6 --psd lf --segment 64 --csv osc.txt");
  const Outcome dat = run("--psd lf --segment 64 --csv osc.DAT");
  ASSERT_EQ(columns.exitCode, 0) << columns.err;
  EXPECT_EQ(columns.out, dat.out);
  // 10 bands per decade from 0.0156 Hz to 0.484 Hz: 13 of them hold a bin.
  EXPECT_EQ(lines(dat.out).size(), 1U + 13);
  EXPECT_TRUE(lines(dat.out)[1].starts_with("lf,")) << dat.out;

  // A series without noise has no power: L(f) has no figure there, never -inf.
  std::string zeros;
  for (int k = 0; k < 100; ++k) zeros += "0\n";
  write("flat.txt", zeros);
  const Outcome flat = run("--phase --tau0 1 --nominal 10e6 --psd lf --csv flat.txt");
  ASSERT_EQ(flat.exitCode, 0) << flat.err;
  EXPECT_TRUE(lines(flat.out)[1].starts_with("lf,0.0625,,1,")) << flat.out;
  EXPECT_EQ(flat.out.find("inf"), std::string::npos) << flat.out;

  const Outcome levels = run("--psd sy --noise-fit --segment 64 --csv osc.DAT");
  ASSERT_EQ(levels.exitCode, 0) << levels.err;
  const std::vector<std::string> fitted = lines(levels.out);
  ASSERT_EQ(fitted.size(), 1U + 10);
  EXPECT_EQ(fitted[0], "alpha,noise,h,ci_low,ci_high,from");
  EXPECT_TRUE(fitted[1].starts_with("2,white PM,")) << fitted[1];
  EXPECT_TRUE(fitted[1].ends_with(",psd")) << fitted[1];
  EXPECT_EQ(fitted[3], "1,flicker PM,,,,psd");  // white phase noise alone: not seen

  const Outcome table = run("--psd sy --noise-fit --stat oadev --plot s.png osc.DAT");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_NE(table.out.find("not seen"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("f_h = 1/(2 tau0) = 0.5 Hz"), std::string::npos) << table.out;
  EXPECT_GT(read("s.png").size(), 1000U);
}

TEST_F(SpectrumCommand, RefusesWhatCannotMakeSenseWithOneLineAndItsExitStatus) {
  writeRun();
  const Refusal cases[] = {
      {"--psd sz osc.DAT", 1, "bad value for --psd: 'sz' (sx, sy, sphi or lf)"},
      {"--psd sy --segment 15 osc.DAT", 1, "(points per segment, at least 16)"},
      {"--psd sy --bands 0 osc.DAT", 1, "bad value for --bands"},
      {"--psd sy --window flat osc.DAT", 1, "(hann or rect)"},
      {"--psd lf --nominal -10e6 osc.DAT", 1, "(the DUT frequency in Hz, above 0)"},
      {"--psd lf --nominal 0 osc.DAT", 1, "(the DUT frequency in Hz, above 0)"},
      {"--segment 64 osc.DAT", 1, "--segment is for --psd"},
      {"--noise-fit osc.DAT", 1, "--noise-fit is for --psd"},
      {"--psd sy --dynamic 100 osc.DAT", 1, "--psd and --dynamic exclude each other"},
      {"--psd sy --list osc.DAT", 1, "not with --psd"},
      {"--psd sy --noise osc.DAT", 1, "--noise is for the table of deviations"},
      {"--psd sy --stat oadev osc.DAT", 1, "add --noise-fit"},
      {"--psd sy --noise-fit --ci none osc.DAT", 1, "--noise-fit rests on"},
      {"--phase --tau0 1 --psd sphi osc.txt", 1, "a column file does not give: add --nominal HZ"},
      {"--psd sy --segment 513 osc.DAT", 2, "longer than the series (512 phase points)"},
      {"--psd sy --segment 400 osc.DAT", 2, "shorter than two segments"},
      {"--psd sy --segment 256 osc.DAT", 2, "fewer than two segments of 256 points are free"},
  };
  for (const Refusal& t : cases) {
    const Outcome outcome = run(t.arguments);
    EXPECT_EQ(outcome.exitCode, t.exitCode) << t.arguments;
    EXPECT_NE(outcome.err.find(t.inErr), std::string::npos) << t.arguments << ": " << outcome.err;
    // One line: the damaged sample's own report aside.
    const std::string said = outcome.err.substr(outcome.err.find("garbage'\n") == std::string::npos
                                                    ? 0
                                                    : outcome.err.find("garbage'\n") + 9);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << t.arguments << ": " << outcome.err;
    EXPECT_EQ(outcome.out.find("nan"), std::string::npos) << t.arguments;
  }
}

TEST_F(SpectrumCommand, ReportsTheSpectrumPageAndVerifiesItsFigures) {
  writeRun();
  const Outcome made = run("--psd lf --noise-fit --segment 64 --report r.pdf osc.DAT");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const QJsonObject spectrum = QJsonDocument::fromJson(QByteArray::fromStdString(read("r.json")))
                                   .object()["runs"]
                                   .toArray()
                                   .at(0)
                                   .toObject()["spectrum"]
                                   .toObject();
  EXPECT_EQ(spectrum["quantity"].toString(), "lf");
  EXPECT_EQ(spectrum["averages"].toInt(), 13);
  EXPECT_EQ(spectrum["leftOut"].toInt(), 2);
  EXPECT_EQ(spectrum["points"].toArray().size(), 13);
  EXPECT_EQ(spectrum["levels"].toArray().size(), 10);
  EXPECT_EQ(run("--verify r.json").exitCode, 0);

  // A level changed in the record is named.
  std::string json = read("r.json");
  const std::size_t at = json.find("\"h\": ");
  ASSERT_NE(at, std::string::npos);
  json.replace(at, 5, "\"h\": 1");
  write("r.json", json);
  const Outcome changed = run("--verify r.json");
  EXPECT_EQ(changed.exitCode, 2);
  EXPECT_NE(changed.err.find("run 1 of 1: spectrum: levels 1: h is "), std::string::npos)
      << changed.err;
}

}  // namespace
}  // namespace tessarin::analyze

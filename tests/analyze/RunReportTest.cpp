#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <sstream>
#include <string>

#include "analyze/AnalyzerFolder.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

// The line of the first run's 7th sample, after the 13 lines of its header.
constexpr int kSeventhSampleLine = 20;
// The damaged line: after the first run's 20th sample.
constexpr int kDamagedLine = 34;

class RunReport : public AnalyzerFolder {
 protected:
  // Two phase-data runs of 64 and 40 samples; in the first a line of garbage after sample 20.
  void writeConsoleFile() const {
    std::string text;
    for (const int count : {64, 40}) {
      const run::RunHeader header{"osc.DAT",
                                  count == 64 ? "06/12/2026" : "07/12/2026",
                                  "09:14:02",
                                  10e6,
                                  1000,
                                  false,
                                  run::Quantity::Phase};
      text += run::formatRunHeader(header).toStdString();
      for (int k = 1; k <= count; ++k) {
        text += run::formatSampleLine(1e-9 * k + 1e-11 * ((k * 7919) % 13)).toStdString();
        if (count == 64 && k == 20) text += "garbage\r\n";
      }
    }
    write("osc.DAT", text);
  }

  QJsonObject record() const {
    return QJsonDocument::fromJson(QByteArray::fromStdString(read("r.json"))).object();
  }
};

TEST_F(RunReport, WritesAPdfWhoseTextGivesBackTheFactsTheTableAndTheInputHash) {
  writeConsoleFile();
  const Outcome made = run("--run all --report r.pdf osc.DAT");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_TRUE(read("r.pdf").starts_with("%PDF"));

  // The record's figures read back as the very doubles the CSV writes in full precision.
  const QJsonArray runs = record().value("runs").toArray();
  ASSERT_EQ(runs.size(), 2);
  QJsonArray rows;
  for (const QJsonValue& analysed : runs)
    for (const QJsonValue& row : analysed.toObject().value("rows").toArray()) rows.append(row);
  const Outcome csv = run("--run all --csv osc.DAT");
  std::istringstream lines(csv.out);
  std::string line;
  std::getline(lines, line);
  qsizetype index = 0;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    const QJsonObject row = rows.at(index++).toObject();
    EXPECT_EQ(row.value("value").toDouble(), std::stod(fields[3])) << line;
    EXPECT_EQ(row.value("high").toDouble(), std::stod(fields[6])) << line;
  }
  EXPECT_EQ(index, rows.size());
  EXPECT_GT(index, 6);

  if (!QFile::exists("/usr/bin/pdftotext"))
    GTEST_SKIP() << "/usr/bin/pdftotext is missing (Debian's poppler-utils): the PDF's text is "
                    "not checked";
  ASSERT_EQ(std::system(("pdftotext '" + path("r.pdf") + "' '" + path("r.txt") + "'").c_str()), 0);
  const std::string text = read("r.txt");
  char value[32];
  std::snprintf(
      value, sizeof value, "%.6e",
      runs.at(0).toObject().value("rows").toArray().at(2).toObject().value("value").toDouble());
  const std::string sha256 = QCryptographicHash::hash(QByteArray::fromStdString(read("osc.DAT")),
                                                      QCryptographicHash::Sha256)
                                 .toHex()
                                 .toStdString();
  for (const std::string& expected :
       {std::string("osc.DAT, run 1 of 2"), std::string("osc.DAT, run 2 of 2"),
        std::string("06/12/2026 09:14:02"), std::string("10000000 Hz"), std::string("Non-Filtered"),
        std::string("phase"), "line " + std::to_string(kDamagedLine), std::string(value),
        std::string("tessarin-analyze --run all --report r.pdf osc.DAT"), sha256})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in:\n" << text;
}

TEST_F(RunReport, CountsTheDamagedLinesBeyondThoseItKeeps) {
  std::string text;
  for (int k = 1; k <= 1600; ++k) text += k % 16 == 0 ? std::to_string(k) + "e-9\n" : "junk\n";
  write("junky.txt", text);
  const Outcome made = run("--phase --tau0 1 --report r.pdf junky.txt");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const QJsonObject facts = record().value("runs").toArray().at(0).toObject();
  EXPECT_EQ(facts.value("damagedLines").toArray().size(), 1000);
  EXPECT_EQ(facts.value("damagedLinesNotKept").toInteger(), 500);
  EXPECT_EQ(facts.value("gaps").toInteger(), 1500);
  if (!QFile::exists("/usr/bin/pdftotext")) GTEST_SKIP() << "/usr/bin/pdftotext is missing";
  ASSERT_EQ(std::system(("pdftotext '" + path("r.pdf") + "' '" + path("r.txt") + "'").c_str()), 0);
  const std::string said = read("r.txt");
  EXPECT_NE(said.find("1500 (1500 taken as gaps)"), std::string::npos) << said;
  EXPECT_NE(said.find("and 1300 more (the first 1000 in the .json)"), std::string::npos) << said;
}

TEST_F(RunReport, VerifyHoldsOnTheUntouchedInputAndNamesTheFigureAndTheLineThatChanged) {
  const auto replaceLine = [this](int number, const std::string& with) {
    std::string text = read("osc.DAT");
    std::size_t start = 0;
    for (int line = 1; line < number; ++line) start = text.find('\n', start) + 1;
    text.replace(start, text.find('\n', start) + 1 - start, with);
    write("osc.DAT", text);
  };
  const struct {
    const char* name;
    std::function<void()> change;
    int exitCode;
    std::vector<std::string> said;
  } cases[] = {
      {"untouched", [] {}, 0, {"r.json: verified: the input's SHA-256 and all"}},
      {"one sample changed",
       [&] { replaceLine(kSeventhSampleLine, run::formatSampleLine(4e-9).toStdString()); },
       2,
       {"osc.DAT:" + std::to_string(kSeventhSampleLine) + ": the line has changed",
        "r.json: run 1 of 2, oadev at m = 1 (tau 1 s): value is "}},
      {"a figure of the record changed",
       [this] {
         std::string json = read("r.json");
         const std::size_t at = json.find("\"samples\": 65");
         write("r.json", json.replace(at, 13, "\"samples\": 66"));
       },
       2,
       {"r.json: run 1 of 2: samples is 65, the report says 66"}},
      {"an escape sequence in a label of the record",
       [this] {
         std::string json = read("r.json");
         const std::size_t at = json.find("\"label\": \"") + 10;
         write("r.json", json.insert(at, "\\u001b[2J"));
       },
       2,
       {"\\x1b[2J"}},
  };
  for (const auto& t : cases) {
    writeConsoleFile();
    ASSERT_EQ(run("--run all --report r.pdf osc.DAT").exitCode, 0) << t.name;
    t.change();
    const Outcome verified = run("--verify r.json");
    EXPECT_EQ(verified.exitCode, t.exitCode) << t.name << ": " << verified.err;
    for (const std::string& said : t.said)
      EXPECT_NE((verified.out + verified.err).find(said), std::string::npos)
          << t.name << ": " << said << " not in: " << verified.out << verified.err;
    EXPECT_EQ(verified.err.find('\x1b'), std::string::npos) << t.name;
  }
}

TEST_F(RunReport, RefusesWhatItCannotReportOrVerify) {
  writeConsoleFile();
  write("junk.json", "{\"program\": 1}");
  const Refusal cases[] = {
      {"--report r.png osc.DAT", 1, "bad value for --report"},
      {"--verify r.json osc.DAT", 1, "--verify takes the report's .json record"},
      {"--verify missing.json", 2, "missing.json"},
      {"--verify junk.json", 2, "junk.json: not the record of a tessarin-analyze report"},
      {"--report nowhere/r.pdf osc.DAT", 2, "nowhere/r.pdf"},
  };
  expectRefusals(cases);
}

}  // namespace
}  // namespace tessarin::analyze

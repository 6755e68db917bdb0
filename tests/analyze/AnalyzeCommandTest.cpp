#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class AnalyzeCommand : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const {
    return dir_.filePath(name.c_str()).toStdString();
  }

  std::string write(const std::string& name, const std::string& bytes) const {
    QFile file(path(name).c_str());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path(name);
  }

  std::string read(const std::string& name) const {
    QFile file(path(name).c_str());
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  // Runs the program with `arguments` (a shell word list) in the temporary folder.
  Outcome run(const std::string& arguments) const {
    const std::string command = "cd '" + dir_.path().toStdString() + "' && '" ANALYZE_EXE "' " +
                                arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("out.txt"), read("err.txt")};
  }

  // A .DAT file of two phase-data runs as the console writes them: 64 samples, then 2.
  std::string consoleFile() const {
    std::string text;
    for (const int count : {64, 2}) {
      run::RunHeader header;
      header.path = "osc.DAT";
      header.date = count == 64 ? "06/12/2026" : "07/12/2026";
      header.time = "09:14:02";
      header.dutHz = 10e6;
      header.tauMs = 1000;
      header.stored = run::Quantity::Phase;
      text += run::formatRunHeader(header).toStdString();
      for (int k = 1; k <= count; ++k)
        text += run::formatSampleLine(1e-9 * k + 1e-11 * ((k * 7919) % 13)).toStdString();
    }
    return write("osc.DAT", text);
  }

  QTemporaryDir dir_;
};

TEST_F(AnalyzeCommand, ExitsOneForUsageErrorsAndTwoForInputItCannotUse) {
  consoleFile();
  write("short.txt", "1\n2\n");
  write("cut.DAT", read("osc.DAT") + " 4.5");
  const struct {
    const char* arguments;
    int exitCode;
    const char* inErr;
  } cases[] = {
      {"--frobnicate osc.DAT", 1, "unknown option: --frobnicate"},
      {"--stat adev,sigma osc.DAT", 1, "bad value for --stat"},
      {"--ci 1.5 osc.DAT", 1, "bad value for --ci"},
      {"--taus decade --m 1,2 osc.DAT", 1, "exclude each other"},
      {"--plot out.jpg osc.DAT", 1, "bad value for --plot"},
      {"--phase short.txt", 1, "--tau0"},
      {"", 1, "no input file"},
      {"missing.DAT", 2, "missing.DAT"},
      {"--run 3 osc.DAT", 2, "there is no run 3"},
      {"short.txt", 2, "no run header"},
      {"--phase --tau0 1 short.txt", 2, "too few samples"},
      {"--run 2 osc.DAT", 2, "run 2: too few samples"},
      {"--strict cut.DAT", 2, "cut.DAT:93: line cut short"},
  };
  for (const auto& t : cases) {
    const Outcome outcome = run(t.arguments);
    EXPECT_EQ(outcome.exitCode, t.exitCode) << t.arguments;
    EXPECT_NE(outcome.err.find(t.inErr), std::string::npos) << t.arguments << ": " << outcome.err;
  }
}

TEST_F(AnalyzeCommand, ReportsADamagedLineOnStandardErrorAndCountsItAsAGap) {
  consoleFile();
  write("cut.DAT", read("osc.DAT") + "junk\r\n");
  const Outcome listed = run("--list cut.DAT");
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_NE(listed.err.find("cut.DAT:93: not a sample line, taken as a gap: 'junk'"),
            std::string::npos)
      << listed.err;
  std::istringstream lines(listed.out);
  std::string heading, first, second;
  std::getline(lines, heading);
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_NE(first.find("06/12/2026"), std::string::npos) << first;
  EXPECT_NE(second.find("phase"), std::string::npos) << second;
  EXPECT_TRUE(second.ends_with(" 3        1")) << second;  // 2 samples and the gap
}

TEST_F(AnalyzeCommand, WritesCsvWithItsFixedHeaderAndThePublishedNistFigures) {
  // NIST SP 1065's nine frequency points, tau0 = 1 s, and the published values at m = 1 and 2.
  write("nist.txt", "892\n809\n823\n798\n671\n644\n883\n903\n677\n");
  const Outcome outcome =
      run("--freq --tau0 1 --m 1,2 --csv --stat adev,oadev,mdev,tdev,hdev,ohdev,totdev nist.txt");
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const std::map<std::string, std::pair<double, double>> published = {
      {"adev", {91.22945, 115.8082}},  {"oadev", {91.22945, 85.95287}},
      {"mdev", {91.22945, 74.78849}},  {"tdev", {52.67135, 86.35831}},
      {"hdev", {70.80607, 116.7980}},  {"ohdev", {70.80607, 85.61487}},
      {"totdev", {91.22945, 93.90379}}};
  std::istringstream lines(outcome.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "statistic,tau,m,value,terms,ci_low,ci_high");
  int rows = 0;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    ASSERT_GE(fields.size(), 4u) << line;
    const auto& [m1, m2] = published.at(fields[0]);
    EXPECT_NEAR(std::stod(fields[3]) / (fields[2] == "1" ? m1 : m2), 1, 2e-6) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 14);
}

TEST_F(AnalyzeCommand, DrawsAPngOrPdfPlotWithoutADisplay) {
  consoleFile();
  const struct {
    const char* name;
    const char* magic;
  } pictures[] = {{"all.png", "\x89PNG"}, {"all.pdf", "%PDF"}};
  for (const auto& p : pictures) {
    const Outcome outcome =
        run(std::string("--run all --stat oadev,mdev --plot ") + p.name + " osc.DAT");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(read(p.name).starts_with(p.magic)) << p.name;
  }
}

}  // namespace
}  // namespace tessarin::analyze

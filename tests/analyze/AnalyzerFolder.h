#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <span>
#include <string>

#include "run/DataFile.h"

namespace tessarin::analyze {

// What one run of tessarin-analyze gave.
struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A command line the program refuses: its exit status and a part of what it says on stderr.
struct Refusal {
  const char* arguments;
  int exitCode;
  const char* inErr;
};

// The header of osc.DAT's phase run of a 10 MHz oscillator, one sample a second from
// 06/12/2026 09:14:02.
inline std::string phaseRunHeader() {
  run::RunHeader header;
  header.path = "osc.DAT";
  header.date = "06/12/2026";
  header.time = "09:14:02";
  header.dutHz = 10e6;
  header.tauMs = 1000;
  header.stored = run::Quantity::Phase;
  return run::formatRunHeader(header).toStdString();
}

// A temporary folder to write input files into and run the program in.
class AnalyzerFolder : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const {
    return dir_.filePath(name.c_str()).toStdString();
  }

  std::string write(const std::string& name, const std::string& bytes) const {
    QFile file(path(name).c_str());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path(name);
  }

  std::string read(const std::string& name) const {
    QFile file(path(name).c_str());
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  // Runs the program with `arguments` (a shell word list) in the folder.
  Outcome run(const std::string& arguments) const {
    const std::string command = "cd '" + dir_.path().toStdString() + "' && '" ANALYZE_EXE "' " +
                                arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("out.txt"), read("err.txt")};
  }

  void expectRefusals(std::span<const Refusal> refusals) const {
    for (const Refusal& t : refusals) {
      const Outcome outcome = run(t.arguments);
      EXPECT_EQ(outcome.exitCode, t.exitCode) << t.arguments;
      EXPECT_NE(outcome.err.find(t.inErr), std::string::npos) << t.arguments << ": " << outcome.err;
    }
  }

  QTemporaryDir dir_;
};

}  // namespace tessarin::analyze

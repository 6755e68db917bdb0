// What reading an archive costs: a one-column file of 1e6 and of 1e7 white-FM phase values is
// written to /tmp, then each is read by awk, as the yardstick of a program that only streams the
// file, and by each tessarin-analyze given (the one built beside this program when none is):
// reading only (--stat mtie --m 1, the cheapest statistic at one factor) and the full run of every
// statistic at the octave factors, with intervals and with the values alone (--ci none). Prints
// the wall time, the processor time of all threads and the peak resident memory of each, and the
// reader's own time in this process. A program that refuses a run (one built before --ci none)
// has "refused" in its row.
// With --1e8 first, a file of 1e8 points (1.8 GB) follows, the full run once, with intervals.
// Run: ./archive_read_benchmark [--1e8] [TESSARIN-ANALYZE...] (a RelWithDebInfo build, an idle
// machine).

#include <QString>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "ProgramCost.h"
#include "records/ColumnReader.h"

namespace {

constexpr const char* kEveryStatistic =
    "adev,console-adev,oadev,mdev,tdev,hdev,ohdev,totdev,mtie,tierms";

void printRow(const char* points, const std::string& what, const std::string& program, Cost cost) {
  if (cost.succeeded)
    std::printf("%-7s %-34s %-8s %8.2f %8.2f %10.1f\n", points, what.c_str(), program.c_str(),
                cost.seconds, cost.cpuSeconds, cost.peakMiB);
  else
    std::printf("%-7s %-34s %-8s %8s\n", points, what.c_str(), program.c_str(), "refused");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> analysers(argv + 1, argv + argc);
  const bool hundredMillion = !analysers.empty() && analysers.front() == "--1e8";
  if (hundredMillion) analysers.erase(analysers.begin());
  if (analysers.empty()) analysers.emplace_back(ANALYZE_EXE);
  for (std::size_t k = 0; k < analysers.size(); ++k)
    std::printf("program %c: %s\n", static_cast<char>('A' + k), analysers[k].c_str());
  std::printf("%-7s %-34s %-8s %8s %8s %10s\n", "points", "run", "program", "wall/s", "cpu/s",
              "peak/MiB");
  for (const std::int64_t points : {std::int64_t{1000000}, std::int64_t{10000000}}) {
    const std::string path = writePhaseFile(points);
    if (path.empty()) {
      std::fprintf(stderr, "cannot write the phase file in /tmp\n");
      return 1;
    }
    const char* label = points == 1000000 ? "1e6" : "1e7";
    printRow(label, "sum of the column", "awk", bestOf({"awk", "{s+=$1} END{print s}", path}));
    for (std::size_t k = 0; k < analysers.size(); ++k) {
      const std::string& analyser = analysers[k];
      const std::string name(1, static_cast<char>('A' + k));
      printRow(label, "read only: --stat mtie --m 1", name,
               bestOf({analyser, "--phase", "--tau0", "1", "--stat", "mtie", "--m", "1", path}));
      // The long series' full runs take seconds each: once is enough there.
      const auto cost = points == 1000000 ? bestOf : costOf;
      printRow(label, "every statistic, octave factors", name,
               cost({analyser, "--phase", "--tau0", "1", "--stat", kEveryStatistic, path}));
      printRow(label, "the same, values only: --ci none", name,
               cost({analyser, "--phase", "--tau0", "1", "--ci", "none", "--stat", kEveryStatistic,
                     path}));
    }
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processorStart = std::clock();
    const auto file = tessarin::records::readColumnFile(QString::fromStdString(path),
                                                        tessarin::run::Quantity::Phase, 1);
    const double seconds = secondsSince(start);
    const std::size_t samples = file ? file.value().runs.front().samples.size() : 0;
    const double processorSeconds =
        static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    printRow(
        label, "readColumnFile in this process", "",
        {seconds, processorSeconds, static_cast<double>(samples * sizeof(double)) / (1 << 20)});
  }
  std::printf("(for readColumnFile the last column is the series it keeps, 8 bytes a point)\n");
  if (hundredMillion) {
    const std::string path = writePhaseFile(100000000);
    printRow("1e8", "sum of the column", "awk", costOf({"awk", "{s+=$1} END{print s}", path}));
    for (std::size_t k = 0; k < analysers.size(); ++k)
      printRow("1e8", "every statistic, octave factors", std::string(1, static_cast<char>('A' + k)),
               costOf({analysers[k], "--phase", "--tau0", "1", "--stat", kEveryStatistic, path}));
    std::remove(path.c_str());
  }
  return 0;
}

// hat_coverage_validation: how often the N-cornered hat's confidence intervals hold each
// oscillator's true deviation, over many sets of simulated independent oscillators measured in
// pairs. Writes the per-cell table, the summary and the comparison of interval methods as
// Markdown.
//
//   hat_coverage_validation [--trials K] [--lengths N,N...] [--threads T] [--table FILE]
//                           [--summary FILE] [--methods FILE]

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "HatTables.h"
#include "TableFiles.h"

using namespace tessarin;

int main(int argc, char** argv) {
  hatcoverage::HatSettings settings;
  settings.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::vector<int> lengths = {1000, 10000};
  std::string tablePath;
  std::string summaryPath;
  std::string methodsPath;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const std::string value = i + 1 < argc ? argv[++i] : "";
    if (option == "--trials") {
      settings.trials = std::stoi(value);
    } else if (option == "--lengths") {
      lengths = coverage::numbersFrom(value);
    } else if (option == "--threads") {
      settings.threads = std::stoi(value);
    } else if (option == "--table") {
      tablePath = value;
    } else if (option == "--summary") {
      summaryPath = value;
    } else if (option == "--methods") {
      methodsPath = value;
    } else {
      std::cerr << "hat_coverage_validation: unknown option " << option << ' ' << value << '\n';
      return 2;
    }
  }
  const stability::Statistic statistics[] = {
      stability::Statistic::Oadev, stability::Statistic::Mdev, stability::Statistic::Ohdev,
      stability::Statistic::Totdev};
  const std::vector<hatcoverage::HatCase> cases = hatcoverage::standardCases();
  std::vector<hatcoverage::HatRun> runs;
  for (const hatcoverage::HatCase& hatCase : cases)
    for (const int length : lengths)
      for (const sim::NoiseType noise :
           {sim::NoiseType::WhitePhase, sim::NoiseType::WhiteFrequency,
            sim::NoiseType::FlickerFrequency, sim::NoiseType::RandomWalkFrequency}) {
        runs.push_back(
            hatcoverage::measureHatCoverage(hatCase, noise, length, statistics, settings));
        std::fprintf(stderr, "%s, N %d, noise %d done\n", hatCase.name.c_str(), length,
                     static_cast<int>(noise));
      }
  coverage::writeTable(tablePath, hatcoverage::fullTable(runs));
  coverage::writeTable(summaryPath, hatcoverage::summaryTable(runs));
  coverage::writeTable(methodsPath, hatcoverage::methodTable(runs));
  return 0;
}

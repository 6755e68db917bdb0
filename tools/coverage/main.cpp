// coverage_validation: how often the analyser's confidence intervals hold the true deviation, and
// how often it identifies the noise it was given, over many simulated series of each power-law
// noise. Writes the per-factor table and the summary as Markdown.
//
//   coverage_validation [--series K,K...] [--lengths N,N...] [--threads T] [--edf reference]
//                       [--noise-per-statistic] [--table FILE] [--summary FILE]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "CoverageTables.h"
#include "TableFiles.h"

using namespace tessarin;

int main(int argc, char** argv) {
  coverage::CoverageSettings settings;
  settings.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  // More series of the short record, which cost little: the share held is then known to +-0.5 %.
  std::vector<int> lengths = {1000, 100000};
  std::vector<int> seriesCounts = {10000, 1000};
  std::string tablePath;
  std::string summaryPath;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--noise-per-statistic") {
      settings.method.noise = stability::NoiseReading::PerStatistic;
      continue;
    }
    const std::string value = i + 1 < argc ? argv[++i] : "";
    if (option == "--series") {
      seriesCounts = coverage::numbersFrom(value);
    } else if (option == "--lengths") {
      lengths = coverage::numbersFrom(value);
    } else if (option == "--threads") {
      settings.threads = std::stoi(value);
    } else if (option == "--edf" && value == "reference") {
      settings.method.edf = stability::EdfMethod::Reference;
    } else if (option == "--table") {
      tablePath = value;
    } else if (option == "--summary") {
      summaryPath = value;
    } else {
      std::cerr << "coverage_validation: unknown option " << option << ' ' << value << '\n';
      return 2;
    }
  }
  const stability::Statistic statistics[] = {
      stability::Statistic::Oadev, stability::Statistic::Mdev,  stability::Statistic::Tdev,
      stability::Statistic::Hdev,  stability::Statistic::Ohdev, stability::Statistic::Totdev};
  std::vector<coverage::CoverageRun> runs;
  int cells = 0;
  int met = 0;
  for (std::size_t k = 0; k < lengths.size(); ++k) {
    const int length = lengths[k];
    settings.seriesCount = seriesCounts[std::min(k, seriesCounts.size() - 1)];
    for (const sim::NoiseType noise :
         {sim::NoiseType::WhitePhase, sim::NoiseType::FlickerPhase, sim::NoiseType::WhiteFrequency,
          sim::NoiseType::FlickerFrequency, sim::NoiseType::RandomWalkFrequency}) {
      runs.push_back(coverage::measureCoverage(noise, length, statistics, settings));
      for (const auto& cell : runs.back().cells) {
        ++cells;
        met += coverage::meetsGoal(cell);
      }
      std::fprintf(stderr, "N %d, noise %d done\n", length, static_cast<int>(noise));
    }
  }
  coverage::writeTable(tablePath, coverage::fullTable(runs));
  coverage::writeTable(summaryPath, coverage::summaryTable(runs) + "\nWithin the goal at " +
                                        std::to_string(met) + " of " + std::to_string(cells) +
                                        " factors.\n");
  return 0;
}

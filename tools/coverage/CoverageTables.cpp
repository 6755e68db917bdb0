#include "CoverageTables.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "ExpectedDeviation.h"

namespace tessarin::coverage {

namespace {

constexpr std::string_view kNoiseNames[] = {"white PM", "flicker PM", "white FM", "flicker FM",
                                            "random-walk FM"};

std::string_view nameOf(sim::NoiseType noise) {
  return kNoiseNames[static_cast<std::size_t>(noise)];
}

double share(int count, int trials) { return 100.0 * count / std::max(1, trials); }

std::string format(const char* pattern, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

}  // namespace

bool meetsGoal(const CoverageCell& cell) {
  const double oneSigma = share(cell.insideOneSigma, cell.trials);
  const double wide = share(cell.inside95, cell.trials);
  return std::abs(oneSigma - 68.3) <= 3 && std::abs(wide - 95) <= 2;
}

std::string fullTable(std::span<const CoverageRun> runs) {
  std::string text =
      "| noise | N | statistic | m | truth | rms / truth | EDF seen | EDF given | 68.3 % held | 95 "
      "% "
      "held | alpha found | 68.3 % held, alpha known | 95 %, alpha known |\n"
      "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  for (const CoverageRun& run : runs) {
    for (const CoverageCell& cell : run.cells) {
      text += format(
          "| %s | %d | %s | %d | %s | %.3f | %.4g | %.4g | %.1f | %.1f | %.1f | %.1f | %.1f |%s\n",
          std::string(nameOf(run.noise)).c_str(), run.length,
          std::string(stability::nameOf(cell.statistic)).c_str(), cell.factor,
          cell.truthFromLevel ? "level" : "rms", cell.meanOverTruth, cell.measuredEdf,
          cell.knownAlphaEdf, share(cell.insideOneSigma, cell.trials),
          share(cell.inside95, cell.trials), share(cell.alphaFound, cell.trials),
          share(cell.insideOneSigmaKnownAlpha, cell.trials),
          share(cell.inside95KnownAlpha, cell.trials), meetsGoal(cell) ? "" : " miss");
    }
  }
  return text;
}

std::string summaryTable(std::span<const CoverageRun> runs) {
  std::string text =
      "| noise | N | statistic | m | 68.3 % held | 95 % held | alpha found | outside the goal "
      "at m |\n|---|---|---|---|---|---|---|---|\n";
  for (const CoverageRun& run : runs) {
    for (auto first = run.cells.begin(); first != run.cells.end();) {
      const auto last = std::find_if(first, run.cells.end(), [&](const CoverageCell& cell) {
        return cell.statistic != first->statistic;
      });
      double lowest[3] = {100, 100, 100};
      double highest[3] = {0, 0, 0};
      std::string misses;
      for (auto cell = first; cell != last; ++cell) {
        const double shares[3] = {share(cell->insideOneSigma, cell->trials),
                                  share(cell->inside95, cell->trials),
                                  share(cell->alphaFound, cell->trials)};
        for (int k = 0; k < 3; ++k) {
          lowest[k] = std::min(lowest[k], shares[k]);
          highest[k] = std::max(highest[k], shares[k]);
        }
        if (!meetsGoal(*cell))
          misses += (misses.empty() ? "" : ", ") + std::to_string(cell->factor);
      }
      text += format("| %s | %d | %s | %d-%d | %.1f-%.1f | %.1f-%.1f | %.0f-%.0f | %s |\n",
                     std::string(nameOf(run.noise)).c_str(), run.length,
                     std::string(stability::nameOf(first->statistic)).c_str(), first->factor,
                     (last - 1)->factor, lowest[0], highest[0], lowest[1], highest[1], lowest[2],
                     highest[2], misses.empty() ? "none" : misses.c_str());
      first = last;
    }
  }
  return text;
}

}  // namespace tessarin::coverage

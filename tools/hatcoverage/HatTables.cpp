#include "HatTables.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace tessarin::hatcoverage {

namespace {

constexpr std::string_view kNoiseNames[] = {"white PM", "flicker PM", "white FM", "flicker FM",
                                            "random-walk FM"};
constexpr std::string_view kMethodNames[] = {
    "normal on the variance, pairs correlated (the analyser's)",
    "chi-squared, Satterthwaite EDF, pairs correlated",
    "chi-squared, Satterthwaite EDF, pairs taken as independent",
    "chi-squared where the variance stands clear of zero, else normal"};

std::string nameOf(sim::NoiseType noise) {
  return std::string(kNoiseNames[static_cast<std::size_t>(noise)]);
}

std::string statisticName(stability::Statistic statistic) {
  return std::string(stability::nameOf(statistic));
}

char oscillatorName(int i) { return "ABCR"[i]; }

double share(int count, int trials) { return 100.0 * count / std::max(1, trials); }

std::string format(const char* pattern, auto... values) {
  char text[512];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

}  // namespace

std::string fullTable(std::span<const HatRun> runs) {
  std::string text =
      "| case | noise | N | statistic | osc. | m | truth | rms / truth | positive % | 68.3 % held "
      "| 95 % held | upper bound above truth, 68.3 / 95 | Satterthwaite, 68.3 / 95 | independent "
      "pairs, 68.3 / 95 | clear of zero, 68.3 / 95 "
      "|\n|---|---|---|---|---|---|---|---|---|---|---|---|---|"
      "---|---|\n";
  for (const HatRun& run : runs)
    for (const HatCell& cell : run.cells) {
      const auto held = [&](std::size_t method, std::size_t k) {
        return share(cell.methods[method].held[k], cell.positive);
      };
      text += format(
          "| %s | %s | %d | %s | %c | %d | %s | %.3f | %.1f | %.1f | %.1f | %.1f / %.1f | %.1f / "
          "%.1f | %.1f / %.1f | %.1f / %.1f |%s\n",
          run.hatCase->name.c_str(), nameOf(run.noise).c_str(), run.length,
          statisticName(cell.statistic).c_str(), oscillatorName(cell.oscillator), cell.factor,
          cell.truthFromLevel ? "level" : "rms", cell.meanOverTruth,
          share(cell.positive, cell.trials), held(0, 0), held(0, 1),
          share(cell.methods[0].upperHeld[0], cell.trials),
          share(cell.methods[0].upperHeld[1], cell.trials), held(1, 0), held(1, 1), held(2, 0),
          held(2, 1), held(3, 0), held(3, 1), meetsGoal(cell, 0) ? "" : " miss");
    }
  return text;
}

std::string summaryTable(std::span<const HatRun> runs) {
  std::string text =
      "| case | noise | N | statistic | positive % | 68.3 % held | 95 % held | outside the goal "
      "(oscillator m) |\n|---|---|---|---|---|---|---|---|\n";
  for (const HatRun& run : runs)
    for (auto first = run.cells.begin(); first != run.cells.end();) {
      const auto last = std::find_if(first, run.cells.end(), [&](const HatCell& cell) {
        return cell.statistic != first->statistic;
      });
      double lowest[3] = {100, 100, 100};
      double highest[3] = {0, 0, 0};
      std::string misses;
      for (auto cell = first; cell != last; ++cell) {
        const double shares[3] = {share(cell->positive, cell->trials),
                                  share(cell->methods[0].held[0], cell->positive),
                                  share(cell->methods[0].held[1], cell->positive)};
        for (int k = 0; k < 3; ++k) {
          lowest[k] = std::min(lowest[k], shares[k]);
          highest[k] = std::max(highest[k], shares[k]);
        }
        if (!meetsGoal(*cell, 0))
          misses += (misses.empty() ? "" : ", ") +
                    std::string(1, oscillatorName(cell->oscillator)) + ' ' +
                    std::to_string(cell->factor);
      }
      text += format("| %s | %s | %d | %s | %.0f-%.0f | %.1f-%.1f | %.1f-%.1f | %s |\n",
                     run.hatCase->name.c_str(), nameOf(run.noise).c_str(), run.length,
                     statisticName(first->statistic).c_str(), lowest[0], highest[0], lowest[1],
                     highest[1], lowest[2], highest[2], misses.empty() ? "none" : misses.c_str());
      first = last;
    }
  return text;
}

std::string methodTable(std::span<const HatRun> runs) {
  std::string text =
      "| method | cells within the goal | 68.3 % held, median (range) | 95 % held, median (range) "
      "|\n|---|---|---|---|\n";
  for (std::size_t method = 0; method < kMethods.size(); ++method) {
    int cells = 0;
    int met = 0;
    std::vector<double> shares[2];
    for (const HatRun& run : runs)
      for (const HatCell& cell : run.cells) {
        if (cell.positive == 0) continue;
        ++cells;
        met += meetsGoal(cell, method);
        for (std::size_t k = 0; k < 2; ++k)
          shares[k].push_back(share(cell.methods[method].held[k], cell.positive));
      }
    for (auto& list : shares) std::sort(list.begin(), list.end());
    const auto summary = [](const std::vector<double>& list) {
      if (list.empty()) return std::string("-");
      return format("%.1f (%.1f-%.1f)", list[list.size() / 2], list.front(), list.back());
    };
    text += format("| %s | %d of %d | %s | %s |\n", std::string(kMethodNames[method]).c_str(), met,
                   cells, summary(shares[0]).c_str(), summary(shares[1]).c_str());
  }
  return text;
}

}  // namespace tessarin::hatcoverage

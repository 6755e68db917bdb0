#include "analysis/HatTopology.h"

#include <algorithm>
#include <cctype>
#include <deque>

namespace tessarin::analysis {

namespace {

using Topology = platform::Result<HatTopology>;

bool usableName(const std::string& name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
  });
}

int indexOf(std::vector<std::string>& names, const std::string& name) {
  const auto found = std::find(names.begin(), names.end(), name);
  if (found != names.end()) return static_cast<int>(found - names.begin());
  names.push_back(name);
  return static_cast<int>(names.size()) - 1;
}

// The signs of x_from - x_to along the shortest chain of measured pairs `ends`, by a breadth-first
// search from `from`; empty when none joins them.
std::vector<int> chain(const std::vector<std::pair<int, int>>& ends, int count, int from, int to) {
  std::vector<int> reachedBy(static_cast<std::size_t>(count), -1);  // the measured pair taken
  std::deque<int> waiting{from};
  reachedBy[static_cast<std::size_t>(from)] = static_cast<int>(ends.size());
  while (!waiting.empty()) {
    const int here = waiting.front();
    waiting.pop_front();
    for (std::size_t k = 0; k < ends.size(); ++k) {
      const auto [a, b] = ends[k];
      if (a != here && b != here) continue;
      const int there = a == here ? b : a;
      if (reachedBy[static_cast<std::size_t>(there)] >= 0) continue;
      reachedBy[static_cast<std::size_t>(there)] = static_cast<int>(k);
      waiting.push_back(there);
    }
  }
  if (reachedBy[static_cast<std::size_t>(to)] < 0) return {};
  // Back from `to`: each step u -> v adds x_u - x_v, which is +x_k for k = (u, v), -x_k for (v, u).
  std::vector<int> signs(ends.size(), 0);
  for (int v = to; v != from;) {
    const auto k = static_cast<std::size_t>(reachedBy[static_cast<std::size_t>(v)]);
    const int u = ends[k].first == v ? ends[k].second : ends[k].first;
    signs[k] += ends[k].first == u ? 1 : -1;
    v = u;
  }
  return signs;
}

HatLayout layoutOf(const std::vector<std::pair<int, int>>& ends, int count) {
  const auto pairs = static_cast<int>(ends.size());
  if (count == 3 && pairs == 3) return HatLayout::Triangle;
  for (int hub = 0; hub < count; ++hub)
    if (pairs == count - 1 && std::all_of(ends.begin(), ends.end(), [hub](const auto& end) {
          return end.first == hub || end.second == hub;
        }))
      return HatLayout::Star;
  return HatLayout::Network;
}

}  // namespace

std::string_view nameOf(HatLayout layout) {
  switch (layout) {
    case HatLayout::Triangle:
      return "triangle";
    case HatLayout::Star:
      return "star";
    case HatLayout::Network:
      break;
  }
  return "network";
}

std::string_view methodOf(HatLayout layout) {
  switch (layout) {
    case HatLayout::Triangle:
      return "three-cornered hat of Gray and Allan on the three measured pairs";
    case HatLayout::Star:
      return "differences of the outer oscillators made on the common time line (the "
             "covariance of two pairs that share the hub, as Groslambert's), then the "
             "least-squares N-cornered hat over every pair";
    case HatLayout::Network:
      break;
  }
  return "the pairs not measured made along chains of measured ones on the common time line, "
         "then the least-squares N-cornered hat over every pair";
}

Topology hatTopology(std::span<const PairName> measured, std::span<const std::string> labels) {
  HatTopology topology;
  std::vector<std::pair<int, int>> ends;
  for (std::size_t k = 0; k < measured.size(); ++k) {
    const PairName& pair = measured[k];
    const std::string where = labels[k] + ": ";
    if (!usableName(pair.first) || !usableName(pair.second))
      return Topology::failure(
          QString::fromStdString(where + "oscillators are named by letters and digits: '" +
                                 pair.first + "-" + pair.second + "'"));
    if (pair.first == pair.second)
      return Topology::failure(QString::fromStdString(where + "the pair " + pair.first + "-" +
                                                      pair.second + " names one oscillator twice"));
    const int a = indexOf(topology.oscillators, pair.first);
    const int b = indexOf(topology.oscillators, pair.second);
    for (std::size_t j = 0; j < ends.size(); ++j)
      if (ends[j] == std::pair{a, b} || ends[j] == std::pair{b, a})
        return Topology::failure(QString::fromStdString(labels[j] + " and " + labels[k] +
                                                        ": the pair " + pair.first + "-" +
                                                        pair.second + " is given twice"));
    ends.emplace_back(a, b);
  }
  const auto count = static_cast<int>(topology.oscillators.size());
  if (count < 3) {
    std::string files;
    for (const std::string& label : labels) files += (files.empty() ? "" : ", ") + label;
    return Topology::failure(QString::fromStdString(
        files + ": the hat needs at least three oscillators, these pairs name " +
        std::to_string(count)));
  }
  for (std::size_t k = 1; k < ends.size(); ++k)
    if (chain(ends, count, ends[0].first, ends[k].first).empty())
      return Topology::failure(QString::fromStdString(
          labels[k] + ": the pair " + measured[k].first + "-" + measured[k].second +
          " cannot be tied to " + labels[0] + "'s oscillators by the other pairs"));
  topology.layout = layoutOf(ends, count);
  for (int i = 0; i < count; ++i)
    for (int j = i + 1; j < count; ++j) {
      HatPair pair{i, j, std::nullopt, chain(ends, count, i, j)};
      for (std::size_t k = 0; k < ends.size(); ++k)
        if (ends[k] == std::pair{i, j} || ends[k] == std::pair{j, i})
          pair.measured = static_cast<int>(k);
      topology.pairs.push_back(std::move(pair));
    }
  return topology;
}

double hatWeight(int count, const HatPair& pair, int oscillator) {
  const double others = count - 1;
  const bool holds = pair.first == oscillator || pair.second == oscillator;
  return ((holds ? 1.0 : 0.0) - 1.0 / others) / (count - 2);
}

}  // namespace tessarin::analysis

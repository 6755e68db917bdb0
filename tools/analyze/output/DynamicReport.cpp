#include "output/DynamicReport.h"

#include <QDate>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "output/ExactNumber.h"

namespace tessarin::analyze::output {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool inMilliseconds(const analysis::DynamicMap& map) { return map.tau0 != std::floor(map.tau0); }

}  // namespace

std::string startTime(const analysis::DynamicMap& map, std::optional<std::int64_t> seriesStart,
                      std::int64_t start) {
  return windowTime(*seriesStart, static_cast<double>(start) * map.tau0, inMilliseconds(map));
}

std::string windowTime(std::int64_t seriesStart, double offset, bool milliseconds) {
  const auto wholeOffset = static_cast<std::int64_t>(std::floor(offset));
  auto thousandths = static_cast<std::int64_t>(std::llround((offset - std::floor(offset)) * 1000));
  std::int64_t seconds = seriesStart + wholeOffset + thousandths / 1000;
  thousandths %= 1000;
  const QDate day = QDate::fromJulianDay(seconds / kSecondsPerDay);
  seconds %= kSecondsPerDay;
  std::array<char, 48> text{};
  const int length =
      std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d", day.year(),
                    day.month(), day.day(), static_cast<int>(seconds / 3600),
                    static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  std::string time(text.data(), static_cast<std::size_t>(std::max(length, 0)));
  if (milliseconds) {
    std::snprintf(text.data(), text.size(), ".%03d", static_cast<int>(thousandths));
    time += text.data();
  }
  return time;
}

void writeDynamicCsv(std::ostream& out, const analysis::DynamicMap& map,
                     std::optional<std::int64_t> seriesStart) {
  out << "statistic,tau,m,value,terms,ci_low,ci_high,start" << (seriesStart ? ",start_time" : "")
      << '\n';
  const std::string name(stability::nameOf(map.statistic));
  for (std::size_t w = 0; w < map.starts.size(); ++w) {
    for (std::size_t f = 0; f < map.factors.size(); ++f) {
      const stability::Estimate& e = map.at(w, f);
      out << name << ',' << exact(e.tau) << ',' << e.factor << ',' << exact(e.value) << ','
          << e.terms << ",,," << map.starts[w];
      if (seriesStart) out << ',' << startTime(map, seriesStart, map.starts[w]);
      out << '\n';
    }
  }
}

void writeDynamicTable(std::ostream& out, const std::string& heading,
                       const analysis::DynamicMap& map, std::optional<std::int64_t> seriesStart) {
  out << heading << '\n';
  std::array<char, 160> line{};
  std::snprintf(line.data(), line.size(), "%-9s %12s %8s %14s %10s %14s %14s %10s", "statistic",
                "tau/s", "m", "value", "terms", "ci_low", "ci_high", "start");
  out << line.data() << (seriesStart ? "  start_time\n" : "\n");
  const std::string name(stability::nameOf(map.statistic));
  for (std::size_t w = 0; w < map.starts.size(); ++w) {
    for (std::size_t f = 0; f < map.factors.size(); ++f) {
      const stability::Estimate& e = map.at(w, f);
      std::array<char, 32> value{};
      if (std::isnan(e.value))
        std::snprintf(value.data(), value.size(), "-");
      else
        std::snprintf(value.data(), value.size(), "%.6e", e.value);
      std::snprintf(line.data(), line.size(), "%-9s %12.6g %8d %14s %10lld %14s %14s %10lld",
                    name.c_str(), e.tau, e.factor, value.data(), static_cast<long long>(e.terms),
                    "-", "-", static_cast<long long>(map.starts[w]));
      out << line.data();
      if (seriesStart) out << "  " << startTime(map, seriesStart, map.starts[w]);
      out << '\n';
    }
  }
}

}  // namespace tessarin::analyze::output

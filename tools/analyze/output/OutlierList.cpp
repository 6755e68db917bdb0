#include "output/OutlierList.h"

#include <cmath>

#include "output/DynamicReport.h"
#include "output/ExactNumber.h"
#include "output/PrintedNumber.h"

namespace tessarin::analyze::output {

namespace {

std::string timeOf(const ScreenedSeries& series, std::int64_t sample) {
  if (!series.start) return {};
  return windowTime(*series.start, static_cast<double>(sample) * series.tau0,
                    series.tau0 != std::floor(series.tau0));
}

std::string lineOf(const ScreenedSeries& series, std::int64_t sample) {
  const std::int64_t line = records::lineOfSample(*series.run, sample);
  return line == 0 ? std::string() : std::to_string(line);
}

}  // namespace

void writeOutlierList(std::ostream& out, const std::vector<ScreenedSeries>& series, bool csv) {
  const bool runColumn = series.size() > 1;
  if (csv) out << "sample,line,time,value,mads" << (runColumn ? ",run" : "") << '\n';
  bool first = true;
  for (const ScreenedSeries& screened : series) {
    const analysis::OutlierScreen& screen = screened.screen;
    if (!csv) {
      if (!std::exchange(first, false)) out << '\n';
      out << "# " << screened.heading << ": " << screen.outliers.size() << " of " << screen.valid
          << printed(" frequencies beyond %g MADs of the median %.6e (MAD/0.6745 = %.3e)",
                     screen.limit, screen.median, screen.sigma)
          << (screen.sigma == 0 ? "; the MAD is 0, no outlier can be told\n" : "\n")
          << printed("%10s %10s  %-23s %14s %10s\n", "sample", "line", "time", "value", "mads");
    }
    for (const analysis::Outlier& outlier : screen.outliers) {
      const std::string line = lineOf(screened, outlier.sample);
      const std::string time = timeOf(screened, outlier.sample);
      if (csv) {
        out << outlier.sample << ',' << line << ',' << time << ',' << exact(outlier.value) << ','
            << exact(outlier.mads);
        if (runColumn) out << ',' << screened.index;
        out << '\n';
      } else {
        out << printed("%10lld %10s  %-23s %14.6e %10.1f\n", static_cast<long long>(outlier.sample),
                       line.empty() ? "-" : line.c_str(), time.empty() ? "-" : time.c_str(),
                       outlier.value, outlier.mads);
      }
    }
  }
}

}  // namespace tessarin::analyze::output

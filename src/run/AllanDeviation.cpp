#include "run/AllanDeviation.h"

#include <algorithm>
#include <cmath>

#include "app/Console.h"

double allanDeviationOfDecimated(const double* x, int n, double tau) {
  double sum = 0;
  for (int j = 1; j <= n - 2; ++j) {
    const double secondDifference = x[j + 2] - 2 * x[j + 1] + x[j];
    sum += secondDifference * secondDifference;
  }
  return std::sqrt(sum / (2.0 * (n - 2) * tau * tau));
}

void analyseStability(Console& c) {
  ConsoleState& st = c.st;
  // Without a run's analysis state there is no averaging factor to start from.
  if (st.dblFirstFactor < 1) return;

  const double N = std::min(st.dblSampleIndex, static_cast<double>(st.dblPhaseData.size()) - 1);
  const auto scratchCapacity = static_cast<double>(st.dblDecimated.size()) - 1;
  st.dblFactor = st.dblFirstFactor;
  st.dblTauCurrent = st.dblTauSeconds * st.dblFirstFactor;
  int levels = 0;
  while (N / st.dblFactor >= 5) {
    ++levels;
    const double n = std::floor(N / st.dblFactor);
    // The level freezing keeps every level well inside the scratch series; a level that would
    // not fit keeps its last value rather than overrun it.
    if (n <= scratchCapacity) {
      const auto count = static_cast<int>(n);
      const auto stride = static_cast<std::size_t>(st.dblFactor);
      for (int i = 1; i <= count; ++i)
        st.dblDecimated[i] = st.dblPhaseData[static_cast<std::size_t>(i - 1) * stride + 1];
      const auto k = static_cast<std::size_t>(levels + st.dblLevelOffset);
      st.dblAdev[k] = allanDeviationOfDecimated(st.dblDecimated.data(), count, st.dblTauCurrent);
      st.dblAdevTau[k] = st.dblTauCurrent;
    }
    st.dblFactor *= 2;
    st.dblTauCurrent *= 2;
  }

  const int count = levels + static_cast<int>(st.dblLevelOffset);
  c.stabilityPlot.removeAllCurves();
  c.stabilityPlot.clearSecondItemList();
  if (count > 0)
    c.stabilityPlot.addCurveXY("Curve2", &st.dblAdevTau[1], &st.dblAdev[1], count, false);
  if (c.menus.autoscale.checked()) c.stabilityPlot.autoscaleNow();
}

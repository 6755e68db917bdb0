// tessarin._tessarin: the analysis engine for Python, behind the package tessarin.

#include <pybind11/pybind11.h>

#include "Bindings.h"
#include "stability/Statistics.h"

namespace py = pybind11;

PYBIND11_MODULE(_tessarin, module) {
  module.doc() =
      R"doc(Frequency stability analysis of phase and frequency series, with NumPy arrays in and out.

The analysis engine of tessarin-analyze (the Tessarin / RS console's offline
analyser) itself, not a second implementation: the same statistics, intervals,
gap handling and file reader give the same figures, bit for bit.

  deviation(data, tau0, statistic, ...)  a statistic at its averaging factors,
                                         with confidence intervals
  dynamic(data, tau0, window, ...)       a deviation over sliding windows
  read_dat(path)                         the runs of a console's .DAT file
  join(runs)                             runs as one series on one time line
  spectrum(data, tau0, quantity, ...)    the spectrum S_x, S_y, S_phi or L(f),
                                         with the power-law levels
  hat(pairs, tau0, ...)                  each oscillator's deviation from pair
                                         measurements (the N-cornered hat)
  judge(result, mask)                    MTIE or TDEV held to an ITU-T mask
  masks(), mask_limit(mask, stat, tau)   the masks carried, and their limits

STATISTICS names every statistic. The work runs without the GIL.)doc";
  module.attr("__version__") = TESSARIN_VERSION;
  py::tuple names(static_cast<std::size_t>(tessarin::stability::Statistic::Theoh) + 1);
  for (std::size_t k = 0; k < names.size(); ++k)
    names[k] = py::str(
        std::string(tessarin::stability::nameOf(static_cast<tessarin::stability::Statistic>(k))));
  module.attr("STATISTICS") = names;
  tessarin::python::bindDeviation(module);
  tessarin::python::bindRecords(module);
  tessarin::python::bindDynamic(module);
  tessarin::python::bindMasks(module);
  tessarin::python::bindSpectrum(module);
  tessarin::python::bindHat(module);
}

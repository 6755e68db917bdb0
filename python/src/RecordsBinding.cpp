#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <optional>

#include "Arguments.h"
#include "Bindings.h"
#include "OwnedArray.h"
#include "analysis/JoinedRuns.h"
#include "analysis/PhaseSeries.h"
#include "records/DatReader.h"

namespace tessarin::python {

namespace {

// One run of a .DAT file as read, or several joined into one series.
struct Run {
  std::string path;
  records::RecordedRun recorded;
  std::vector<records::DamagedLine> damaged;
  std::int64_t unkeptDamage = 0;  // damaged lines counted beyond those kept
  int joined = 0;                 // how many runs were joined into it; 0 for a run as read
  std::vector<analysis::RunGap> gapBefore;
  // Its phase series where it is not the samples themselves: a frequency run's, made when first
  // asked for, or given by the join (each run integrated on its own).
  std::optional<std::vector<double>> phase;
};

std::string kindName(const records::RecordedRun& run) {
  if (!run.quantity) return {};
  return *run.quantity == run::Quantity::Phase ? "phase" : "frequency";
}

// OSError for a file that cannot be opened (FileNotFoundError where it does not exist), with the
// reader's words; ValueError for one that can but holds no usable run.
[[noreturn]] void raiseUnreadable(const std::filesystem::path& path, const std::string& reason) {
  int error = 0;
  if (::access(path.c_str(), R_OK) != 0) error = errno;
  if (error == 0) throw py::value_error(reason);
  PyErr_SetObject(PyExc_OSError, py::make_tuple(error, reason, py::str(path.string())).ptr());
  throw py::error_already_set();
}

py::list readDat(const std::filesystem::path& path) {
  auto read = [&] {
    py::gil_scoped_release released;
    return records::readDatFile(QString::fromStdString(path.string()));
  }();
  if (!read) raiseUnreadable(path, read.reason().toStdString());
  records::InputFile& file = read.value();
  py::list runs;
  for (std::size_t k = 0; k < file.runs.size(); ++k) {
    const int number = static_cast<int>(k) + 1;
    Run run;
    run.path = file.path;
    run.recorded = std::move(file.runs[k]);
    run.unkeptDamage = records::unkeptDamage(file, number).lines;
    for (const records::DamagedLine& damaged : file.damaged)
      if (damaged.run == number) run.damaged.push_back(damaged);
    runs.append(py::cast(std::move(run)));
  }
  return runs;
}

Run join(const std::vector<const Run*>& runs) {
  if (runs.empty()) throw py::value_error("no runs to join");
  records::InputFile file;
  file.path = runs.front()->path;
  Run joined;
  for (const Run* run : runs) {
    file.runs.push_back(run->recorded);
    joined.damaged.insert(joined.damaged.end(), run->damaged.begin(), run->damaged.end());
    joined.unkeptDamage += run->unkeptDamage;
  }
  auto series = [&] {
    py::gil_scoped_release released;
    return analysis::joinRuns(file);
  }();
  if (!series) throw py::value_error(series.reason().toStdString());
  joined.path = file.path;
  joined.recorded = std::move(series.value().series);
  joined.joined = static_cast<int>(runs.size());
  joined.gapBefore = std::move(series.value().gapBefore);
  if (joined.recorded.quantity == run::Quantity::Frequency)
    joined.phase = std::move(series.value().phase);
  return joined;
}

py::array_t<double> phaseOf(const py::object& self) {
  Run& run = self.cast<Run&>();
  if (const QString why = analysis::whyNoPhase(run.recorded); !why.isEmpty())
    throw py::value_error(run.path + ':' + std::to_string(run.recorded.headerLine) +
                          ": no phase series: " + why.toStdString());
  if (*run.recorded.quantity == run::Quantity::Phase)
    return viewOf(run.recorded.samples.data(), run.recorded.samples.size(), self);
  if (!run.phase) {
    // Made without the GIL, kept with it: another thread may have asked for it meanwhile.
    std::vector<double> phase;
    {
      py::gil_scoped_release released;
      phase = analysis::phaseSeries(run.recorded, false).value();
    }
    if (!run.phase) run.phase = std::move(phase);
  }
  return viewOf(run.phase->data(), run.phase->size(), self);
}

std::string describe(const Run& run) {
  std::int64_t gaps = 0;
  for (const double sample : run.recorded.samples) gaps += std::isnan(sample);
  std::string text = "<tessarin.Run " + run.path + ':' + std::to_string(run.recorded.headerLine);
  if (run.joined > 0) text += ", " + std::to_string(run.joined) + " runs joined";
  if (!run.recorded.date.empty()) text += ", " + run.recorded.date + ' ' + run.recorded.time;
  if (run.recorded.quantity) text += ", " + kindName(run.recorded);
  return text + ", " + std::to_string(run.recorded.samples.size()) + " samples, " +
         std::to_string(gaps) + (gaps == 1 ? " gap>" : " gaps>");
}

constexpr const char* kReadDatDoc = R"doc(The runs of a .DAT file, as the console records them.

Every run of the file in order, a list of tessarin.Run: the header's facts
(date, time, dut_hz, tau0, mode, kind) and the samples as a NumPy array in the
console's units (phase in seconds, frequency as a fractional frequency). A
line of another form among a run's samples (garbage, a line cut short by a
power cut, a sample beyond 1e100) is a gap, NaN in its place, and is listed
in the run's damaged lines with its line number; nothing is dropped or closed
up. The file is read as tessarin-analyze reads it, with the GIL released.

Raises OSError (FileNotFoundError) when the file cannot be opened; ValueError
when it holds no run header or passes the reader's bounds (more than
200000000 lines or 4 GiB).

Example:
  >>> run = tessarin.read_dat("osc1.DAT")[-1]
  >>> r = tessarin.deviation(run.phase, run.tau0, "oadev"))doc";

constexpr const char* kJoinDoc =
    R"doc(Runs as one series on one time line, as tessarin-analyze --join has them.

runs: tessarin.Run objects from read_dat, in order. Each run's header date and
time (the moment its Start was chosen, to the second) and its tau place it:
run k + 1 starts round((start[k+1] - start[k]) / tau) samples after run k's
first, and the samples missing between are gaps (NaN). Returns one
tessarin.Run with the first run's header, every run's samples and the gaps,
joined (how many runs) and gaps_before; its phase is each run's own phase
series (a frequency run integrated from its own priming point) with the same
gaps between, so no phase step is made up across a gap.

Raises ValueError, with the analyser's words and the file and header line,
when a run cannot be placed (its date or time unreadable, no tau or data
type), or when two consecutive runs differ in tau, stored quantity, mode or
DUT frequency (by more than 1e-6 relative), or their times overlap or go
backwards.)doc";

}  // namespace

void bindRecords(py::module_& module) {
  py::class_<records::DamagedLine>(module, "DamagedLine",
                                   "A line of a .DAT file that does not have the form it should.")
      .def_readonly("line", &records::DamagedLine::line, "its number in the file, from 1")
      .def_readonly("run", &records::DamagedLine::run, "the run it lies in, from 1")
      .def_readonly("gap", &records::DamagedLine::gap,
                    "whether it stands for a sample, a NaN in the run's samples")
      .def_readonly("reason", &records::DamagedLine::reason, "what is wrong with it")
      .def_readonly("text", &records::DamagedLine::text,
                    "the line as read, shortened, control characters shown as \\xNN")
      .def("__repr__", [](const records::DamagedLine& d) {
        return "<tessarin.DamagedLine " + std::to_string(d.line) + ": " + d.reason + ": '" +
               d.text + "'>";
      });

  py::class_<Run>(module, "Run", R"doc(One run of a .DAT file, or several joined (tessarin.join).

The header's facts: path, header_line (the line its header starts on), date,
time, dut_hz, tau0 (s), mode ("Filtered" or "Non-Filtered"), kind ("phase" or
"frequency"); None or "" where the header does not say. samples: a read-only
NumPy array in the console's units, NaN for a gap. phase: the phase series in
seconds that tessarin-analyze analyses for this run (a frequency run
integrated from its priming point). damaged: the damaged lines kept in full
(tessarin.DamagedLine), unkept_damage: how many more were only counted.)doc")
      .def_readonly("path", &Run::path, "the file it was read from")
      .def_property_readonly(
          "header_line", [](const Run& r) { return r.recorded.headerLine; },
          "the line its header starts on, from 1")
      .def_property_readonly(
          "date", [](const Run& r) { return r.recorded.date; }, "the header's date, as written")
      .def_property_readonly(
          "time", [](const Run& r) { return r.recorded.time; }, "the header's time, as written")
      .def_property_readonly(
          "dut_hz", [](const Run& r) { return optionalNumber(r.recorded.dutHz); },
          "the DUT frequency in Hz; None where the header does not say")
      .def_property_readonly(
          "tau0", [](const Run& r) { return optionalNumber(r.recorded.tauSeconds); },
          "the sample interval in seconds; None where the header does not say")
      .def_property_readonly(
          "mode", [](const Run& r) { return r.recorded.mode; },
          "\"Filtered\" or \"Non-Filtered\"; empty where the header does not say")
      .def_property_readonly(
          "kind",
          [](const Run& r) -> py::object {
            if (!r.recorded.quantity) return py::none();
            return py::str(kindName(r.recorded));
          },
          "\"phase\" or \"frequency\"; None where the header does not say")
      .def_property_readonly(
          "samples",
          [](const py::object& self) {
            const Run& r = self.cast<const Run&>();
            return viewOf(r.recorded.samples.data(), r.recorded.samples.size(), self);
          },
          "the samples as recorded, NaN for a gap (read-only, no copy)")
      .def_property_readonly("phase", &phaseOf,
                             "the phase series in seconds as tessarin-analyze analyses the run "
                             "(read-only); ValueError where the header lacks tau or data type")
      .def_readonly("damaged", &Run::damaged, "the damaged lines kept in full")
      .def_readonly("unkept_damage", &Run::unkeptDamage,
                    "how many more damaged lines were counted but not kept")
      .def_readonly("joined", &Run::joined, "how many runs were joined into it; 0 for one run")
      .def_property_readonly(
          "gaps_before",
          [](const Run& r) {
            py::list gaps;
            for (const analysis::RunGap& gap : r.gapBefore)
              gaps.append(py::make_tuple(gap.seconds, gap.samples));
            return gaps;
          },
          "for joined runs, per run (seconds, samples) of the gap before it; (0.0, 0) first")
      .def("__len__", [](const Run& r) { return r.recorded.samples.size(); })
      .def("__repr__", &describe);

  module.def("read_dat", &readDat, kReadDatDoc, py::arg("path"));
  module.def("join", &join, kJoinDoc, py::arg("runs"));
}

}  // namespace tessarin::python

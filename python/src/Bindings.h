#pragma once

#include <pybind11/pybind11.h>

// The module's parts, one job each, added to the module `tessarin._tessarin`.
namespace tessarin::python {

namespace py = pybind11;

// tessarin.deviation and its result, tessarin.Deviation.
void bindDeviation(py::module_& module);

// tessarin.read_dat, tessarin.join and their runs, tessarin.Run and tessarin.DamagedLine.
void bindRecords(py::module_& module);

// tessarin.dynamic and its result, tessarin.Dynamic.
void bindDynamic(py::module_& module);

// tessarin.masks, mask_limit, mask_line and judge, and their tessarin.Mask, MaskJudgement and
// WindowsJudgement; after bindDeviation and bindDynamic, whose results judge takes.
void bindMasks(py::module_& module);

// tessarin.hat and its results, tessarin.Hat and tessarin.HatCurve.
void bindHat(py::module_& module);

// tessarin.spectrum and its result, tessarin.Spectrum with tessarin.NoiseLevels.
void bindSpectrum(py::module_& module);

}  // namespace tessarin::python

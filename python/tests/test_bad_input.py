"""Bad input raises ValueError or TypeError in the analyser's words; it never crashes."""

import numpy as np
import pytest

import tessarin

SERIES = np.arange(100, dtype=float) * 1e-9


@pytest.mark.parametrize("call,error,words", [
    (lambda: tessarin.deviation(np.ones((10, 10)), 1.0), ValueError,
     "data must be one series of samples, a one-dimensional array, not 2-dimensional"),
    (lambda: tessarin.deviation([], 1.0), ValueError,
     "too few samples (0 phase points, gaps included) for the statistics asked for"),
    (lambda: tessarin.deviation([1e-9], 1.0, "mdev"), ValueError, "too few samples (1 phase"),
    (lambda: tessarin.deviation(["a", "b"], 1.0), TypeError, "data must be a series of numbers"),
    (lambda: tessarin.deviation(None, 1.0), TypeError, "data must be a series of numbers"),
    (lambda: tessarin.deviation([0.0, np.inf, 1.0], 1.0), ValueError,
     "data[1]: sample beyond 1e100, where the statistics would overflow"),
    (lambda: tessarin.deviation(SERIES, 0.0), ValueError,
     "bad value for tau0: 0.0 (seconds, 1e-9 to 1e9)"),
    (lambda: tessarin.deviation(SERIES, -1), ValueError, "bad value for tau0: -1.0"),
    (lambda: tessarin.deviation(SERIES, 1.0, "allan"), ValueError,
     "bad value for statistic: 'allan' (adev, console-adev, oadev, mdev, tdev, hdev, ohdev, "
     "totdev, mtie, tierms, mtotdev, ttotdev, htotdev, theo1, theobr, theoh)"),
    (lambda: tessarin.deviation(SERIES, 1.0, kind="time"), ValueError,
     "bad value for kind: 'time' (phase or frequency)"),
    (lambda: tessarin.deviation(SERIES, 1.0, taus=[1, -3]), ValueError,
     "bad value for taus: -3 (averaging factors from 1)"),
    (lambda: tessarin.deviation(SERIES, 1.0, taus=[1.5]), TypeError,
     "bad value for taus: 1.5 (averaging factors are whole numbers)"),
    (lambda: tessarin.deviation(SERIES, 1.0, taus="weekly"), ValueError,
     "bad value for taus: 'weekly' (octave, decade or all"),
    (lambda: tessarin.deviation(SERIES, 1.0, ci=1.5), ValueError,
     "bad value for ci: 1.5 (a confidence between 0 and 1, or None)"),
    (lambda: tessarin.deviation(SERIES, 1.0, ci="high"), TypeError, "bad value for ci: 'high'"),
    (lambda: tessarin.deviation(SERIES, 1.0, method="exact"), ValueError,
     "bad value for method: 'exact' (coverage or reference)"),
    (lambda: tessarin.deviation(SERIES, 1.0, outliers=0), ValueError,
     "bad value for outliers: 0 (K above 0: normalised MADs from the median, or None)"),
    (lambda: tessarin.deviation(SERIES, 1.0, find_steps="six"), TypeError,
     "bad value for find_steps: 'six'"),
    (lambda: tessarin.deviation(SERIES, 1.0, remove_steps=True), ValueError,
     "remove_steps removes the steps find_steps finds"),
    (lambda: tessarin.deviation(SERIES, 1.0, remove_drift="cubic"), ValueError,
     "bad value for remove_drift: 'cubic' (True, or linear, quadratic, log, diffusion for "
     "frequency data; quadratic, average for phase data)"),
    (lambda: tessarin.deviation(SERIES, 1.0, remove_drift="log"), ValueError,
     "the drift model log is for frequency data, and these are phase data"),
    (lambda: tessarin.dynamic(SERIES, 1.0, 4), ValueError,
     "bad value for window: 4 (at least 8 samples)"),
    (lambda: tessarin.dynamic(SERIES, 1.0, 10, 11), ValueError,
     "bad value for step: 11 (from 1 to window samples)"),
    (lambda: tessarin.dynamic(SERIES, 1.0, 200), ValueError,
     "a window of 200 points is longer than the series (100 phase points)"),
    (lambda: tessarin.dynamic(SERIES, 1.0, 10, statistic="mtie"), ValueError,
     "dynamic takes one deviation: statistic adev, oadev, mdev, tdev, hdev, ohdev or totdev"),
    (lambda: tessarin.judge(tessarin.deviation(SERIES, 1.0, "tdev"), "g812"), ValueError,
     "bad value for mask: 'g812' (the masks are prc, prtc-a, prtc-b, eprtc, eec1, eec2)"),
    (lambda: tessarin.judge(tessarin.deviation(SERIES, 1.0, "oadev"), "prc"), ValueError,
     "a mask holds mtie and tdev to their limits: not oadev"),
    (lambda: tessarin.judge(tessarin.dynamic(SERIES, 1.0, 20), "prc"), ValueError,
     "a mask holds mtie and tdev to their limits: not oadev"),
    (lambda: tessarin.mask_limit("prc", "adev", 1.0), ValueError,
     "a mask holds mtie and tdev to their limits: not adev (give statistic mtie or tdev)"),
    (lambda: tessarin.mask_limit("prc", "tdev", "long"), TypeError, "tau must be numbers"),
    (lambda: tessarin.spectrum(SERIES, 1.0, "psd"), ValueError,
     "bad value for quantity: 'psd' (sx, sy, sphi or lf)"),
    (lambda: tessarin.spectrum(SERIES, 1.0, "lf"), ValueError,
     "quantity lf is at the DUT frequency, which the series does not give: add nominal=HZ"),
    (lambda: tessarin.spectrum(SERIES, 1.0, "sphi", nominal=-5), ValueError,
     "bad value for nominal: -5.0 (the DUT frequency in Hz, above 0)"),
    (lambda: tessarin.spectrum(SERIES, 1.0, segment=8), ValueError,
     "bad value for segment: 8 (points per segment, at least 16)"),
    (lambda: tessarin.spectrum(SERIES, 1.0, segment=200), ValueError, "segment"),
    (lambda: tessarin.spectrum(SERIES, 1.0, window="blackman"), ValueError,
     "bad value for window: 'blackman' (hann or rect)"),
    (lambda: tessarin.spectrum(SERIES, 1.0, bands=0), ValueError,
     "bad value for bands: 0 (bands per decade, 1 to 1000, or 'raw')"),
    (lambda: tessarin.spectrum(SERIES, 1.0, bands=2.5), TypeError, "bad value for bands: 2.5"),
    (lambda: tessarin.spectrum(SERIES, 1.0, noise_fit=True, ci=None), ValueError,
     "ci=None leaves out the intervals that noise_fit rests on"),
    (lambda: tessarin.spectrum(np.full(100, np.nan), 1.0, segment=32), ValueError, "gap"),
    (lambda: tessarin.spectrum(SERIES, 1.0).predicted_deviation("oadev", 1.0), ValueError,
     "no levels to predict from: give tessarin.spectrum noise_fit=True"),
    (lambda: tessarin.read_dat("/nonexistent/osc.DAT"), FileNotFoundError, "osc.DAT"),
    (lambda: tessarin.join([]), ValueError, "no runs to join"),
])
def test_bad_input_is_refused_in_words(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)


def test_a_factor_the_statistic_cannot_take_is_left_out_with_a_warning():
    with pytest.warns(UserWarning, match="m = 3 is not an averaging factor of theo1"):
        result = tessarin.deviation(SERIES, 1.0, "theo1", taus=[2, 3, 4])
    assert list(result.m) == [2, 4]

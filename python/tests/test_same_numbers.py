"""The module's figures are the analyser's, bit for bit: tessarin-analyze --csv prints every
figure as the shortest text that reads back as the same double, so float() of a cell must equal
the module's value exactly, NaN (an empty cell) included."""

import numpy as np
import pytest

import tessarin
from conftest import dat_run, write_columns

LONG_TAU = ("mtotdev", "ttotdev", "htotdev", "theo1", "theobr", "theoh")
EVERY = tessarin.STATISTICS
SHORT_TAU = tuple(s for s in EVERY if s not in LONG_TAU)
COLUMNS = ("tau", "m", "value", "terms", "ci_low", "ci_high", "alpha")


def noise_with_gaps(count, seed):
    """White and random-walk phase noise in seconds, with single gaps and a stretch of them."""
    random = np.random.default_rng(seed)
    phase = 1e-9 * random.normal(size=count) + 1e-10 * np.cumsum(random.normal(size=count))
    phase[random.choice(count, count // 100, replace=False)] = np.nan
    phase[count // 3: count // 3 + 40] = np.nan
    return phase


def column(rows, name):
    return np.array([float(row[name]) if row.get(name) else np.nan for row in rows])


def expect_same(rows, result, statistic):
    mine = [row for row in rows if row["statistic"] == statistic]
    assert len(mine) == len(result) > 0, statistic
    for name in COLUMNS:
        if name == "alpha" and "alpha" not in rows[0]:
            continue
        assert np.array_equal(column(mine, name), np.asarray(result[name], dtype=float),
                              equal_nan=True), f"{statistic} {name}"


def analyser_options(taus, ci, method):
    options = ["--taus", taus] if isinstance(taus, str) else ["--m", ",".join(map(str, taus))]
    options += ["--ci", "none"] if ci is None else ["--ci", ci, "--noise"]
    return options + ["--edf", method]


SERIES = {
    "PHASE.DAT": lambda phase_dat: (phase_dat, 1.0),
    "5000 gappy": lambda _: (noise_with_gaps(5000, 7), 0.25),
    # Long enough for the engine to share the work out between two threads.
    "30000 gappy": lambda _: (noise_with_gaps(30000, 11), 1e-3),
}

CASES = [
    # series, kind, taus, ci, method, statistics, more module arguments and analyser options
    ("PHASE.DAT", "phase", "octave", 0.683, "coverage", EVERY, {}),
    ("PHASE.DAT", "phase", "decade", 0.95, "reference", EVERY, {}),
    ("PHASE.DAT", "frequency", [1, 3, 10, 50, 64, 5000], 0.683, "coverage", EVERY, {}),
    ("PHASE.DAT", "phase", "all", 0.9, "coverage", ("oadev", "mdev", "totdev", "mtie"), {}),
    ("5000 gappy", "phase", "octave", 0.683, "coverage", EVERY, {}),
    ("5000 gappy", "frequency", "decade", None, "coverage", EVERY, {}),
    ("5000 gappy", "phase", "octave", 0.683, "reference", EVERY,
     {"noise": "per-statistic", "bias_correction": False, "remove_drift": True,
      "remove_offset": True}),
    ("30000 gappy", "phase", "octave", 0.683, "coverage", SHORT_TAU, {}),
]

FLAGS = {"noise": "--noise-per-statistic", "bias_correction": "--no-bias-correction",
         "remove_drift": "--remove-drift", "remove_offset": "--remove-offset"}


@pytest.mark.parametrize("series,kind,taus,ci,method,statistics,more", CASES)
def test_every_figure_is_the_analysers(analyzer, phase_dat, tmp_path, recwarn, series, kind, taus,
                                       ci, method, statistics, more):
    data, tau0 = SERIES[series](phase_dat)
    path = write_columns(tmp_path / "series.txt", data)
    rows = analyzer(f"--{kind[:5] if kind == 'phase' else 'freq'}", "--tau0", repr(tau0), "--csv",
                    "--stat", ",".join(statistics), *analyser_options(taus, ci, method),
                    *(FLAGS[name] for name in more), path)
    for statistic in statistics:
        result = tessarin.deviation(data, tau0, statistic, kind, taus, ci, method, **more)
        expect_same(rows, result, statistic)


@pytest.mark.parametrize("kind,module,options", [
    ("frequency", {"outliers": 5, "find_steps": 6, "remove_steps": True, "remove_drift": "log",
                   "remove_offset": True},
     ["--outliers", "5", "--find-steps", "6", "--remove-steps", "--remove-drift", "log",
      "--remove-offset"]),
    ("phase", {"outliers": 4, "remove_drift": "average"},
     ["--outliers", "4", "--remove-drift", "average"])])
def test_conditioning_is_the_analysers(analyzer, tmp_path, kind, module, options):
    random = np.random.default_rng(12)
    t = np.arange(4000) * 30 / 86400
    frequency = 3e-12 * np.log(40 * t + 1) + 1e-12 * random.normal(size=t.size)
    frequency[2500:] += 2e-11
    frequency[[100, 3333]] += 1e-9
    data = frequency if kind == "frequency" else np.cumsum(frequency) * 30
    data[700] = np.nan
    path = write_columns(tmp_path / "series.txt", data)
    rows = analyzer("--freq" if kind == "frequency" else "--phase", "--tau0", "30", "--csv",
                    "--noise", "--stat", "oadev,mdev", *options, path)
    for statistic in ("oadev", "mdev"):
        result = tessarin.deviation(data, 30.0, statistic, kind, **module)
        expect_same(rows, result, statistic)
        outliers = result.conditioning["outliers"]["found"]
        assert [outlier["sample"] for outlier in outliers] == [100, 3333]


def test_dynamic_and_spectrum_take_the_conditioning_as_the_analyser(analyzer, tmp_path):
    random = np.random.default_rng(13)
    frequency = 1e-12 * random.normal(size=3000) + np.linspace(0, 5e-12, 3000)
    frequency[[40, 2000]] += 1e-9
    path = write_columns(tmp_path / "series.txt", frequency)
    common = ("--freq", "--tau0", "1", "--csv", "--outliers", "5", "--remove-drift", "linear")
    module = {"outliers": 5, "remove_drift": "linear"}
    rows = analyzer(*common, "--dynamic", "500:250", path)
    result = tessarin.dynamic(frequency, 1.0, 500, 250, "oadev", "frequency", **module)
    assert np.array_equal(column(rows, "value"), result.value.ravel(), equal_nan=True)
    rows = analyzer(*common, "--psd", "sy", path)
    result = tessarin.spectrum(frequency, 1.0, "sy", "frequency", **module)
    assert np.array_equal(column(rows, "value"), result.value)
    with pytest.raises(ValueError, match="average is for phase data"):
        tessarin.spectrum(frequency, 1.0, "sy", "frequency", remove_drift="average")


def test_runs_of_a_dat_file_and_their_join_are_analysed_as_by_the_analyser(analyzer, tmp_path):
    random = np.random.default_rng(3)
    frequency = 1e-11 * random.normal(size=(3, 400)) + 2e-9
    frequency[1, 50] = np.nan
    text = "".join(dat_run("f.DAT", "07/12/2026", time, values, kind="Frequency")
                   for time, values in zip(["09:00:00", "09:07:00", "09:15:00"], frequency))
    path = tmp_path / "f.DAT"
    path.write_text(text, newline="")
    runs = tessarin.read_dat(path)
    statistics = ("oadev", "mdev", "ttotdev")
    for options, run in (([], runs[-1]), (["--run", "2"], runs[1]),
                         (["--join"], tessarin.join(runs))):
        rows = analyzer("--csv", "--noise", "--stat", ",".join(statistics), *options, path)
        for statistic in statistics:
            expect_same(rows, tessarin.deviation(run.phase, run.tau0, statistic), statistic)


@pytest.mark.parametrize("statistic,kind,window,step", [
    ("oadev", "phase", 1000, 250), ("adev", "phase", 64, 64), ("mdev", "frequency", 999, 100),
    ("tdev", "phase", 500, 77), ("hdev", "phase", 800, 200), ("ohdev", "frequency", 2000, 500),
    ("totdev", "phase", 1000, 1000), ("console-adev", "phase", 100, 10)])
def test_dynamic_stability_is_the_analysers(analyzer, tmp_path, statistic, kind, window, step):
    data = noise_with_gaps(5000, 5)
    path = write_columns(tmp_path / "series.txt", data)
    rows = analyzer("--phase" if kind == "phase" else "--freq", "--tau0", "0.5", "--csv",
                    "--stat", statistic, "--dynamic", f"{window}:{step}", path)
    result = tessarin.dynamic(data, 0.5, window, step, statistic, kind)
    assert result.value.shape == (len(result.start), len(result.m))
    windows = len(result.start)
    assert len(rows) == windows * len(result.m) > 0
    assert np.array_equal(column(rows, "value"), result.value.ravel(), equal_nan=True)
    assert np.array_equal(column(rows, "terms"), result.terms.ravel())
    assert np.array_equal(column(rows, "start"), np.repeat(result.start, len(result.m)))
    assert np.array_equal(column(rows, "tau"), np.tile(result.tau, windows))
    assert np.array_equal(column(rows, "m"), np.tile(result.m, windows))


def cells(rows, name):
    return [row[name] for row in rows]


@pytest.mark.parametrize("series,taus,ci,masks", [
    ("5000 gappy", "octave", 0.683, ("prc", "prtc-a", "prtc-b", "eprtc", "eec1", "eec2")),
    ("30000 gappy", "decade", 0.95, ("eec2", "prc")),
    ("PHASE.DAT", [1, 3, 10, 100], None, ("prtc-b",)),
])
def test_masks_judge_as_the_analyser_does(analyzer, phase_dat, tmp_path, series, taus, ci, masks):
    data, tau0 = SERIES[series](phase_dat)
    path = write_columns(tmp_path / "series.txt", data)
    rows, messages, status = analyzer(
        "--phase", "--tau0", repr(tau0), "--csv", "--stat", "mtie,tdev", "--mask", ",".join(masks),
        *analyser_options(taus, ci, "coverage")[:-2], path, statuses=(0, 3), whole=True)
    failed = False
    for statistic in ("mtie", "tdev"):
        result = tessarin.deviation(data, tau0, statistic, taus=taus, ci=ci)
        for name in masks:
            judged = tessarin.judge(result, name)
            mine = [row for row in rows if row["statistic"] == statistic and row["mask"] == name]
            assert len(mine) == len(judged) == len(result) > 0, (statistic, name)
            for column_name in ("limit", "margin"):
                assert np.array_equal(column(mine, column_name), judged[column_name],
                                      equal_nan=True), (statistic, name, column_name)
            assert cells(mine, "verdict") == list(judged.verdicts), (statistic, name)
            assert np.array_equal(tessarin.mask_limit(name, statistic, result.tau), judged.limit,
                                  equal_nan=True)
            mask = judged.mask
            summary = f"{statistic} against {mask.title} ({mask.source}): {judged.verdict}"
            assert summary in messages, (summary, messages)
            if judged.worst is not None:
                assert f"worst margin {judged.margin[judged.worst]:.3e} s" in messages
            failed = failed or judged.verdict == "fail"
    assert status == (3 if failed else 0)


@pytest.mark.parametrize("tau0,window,step,mask", [
    (0.5, 1000, 250, "eec2"), (0.5, 500, 100, "prtc-b"), (0.5, 2000, 500, "eprtc"),
    (0.5, 64, 64, "prc"), (0.01, 16, 8, "prc")])
def test_windows_are_judged_as_by_the_analyser(analyzer, tmp_path, tau0, window, step, mask):
    data = noise_with_gaps(5000, 5)
    path = write_columns(tmp_path / "series.txt", data)
    _, messages, status = analyzer("--phase", "--tau0", tau0, "--csv", "--stat", "tdev",
                                   "--dynamic", f"{window}:{step}", "--mask", mask, path,
                                   statuses=(0, 3), whole=True)
    judged = tessarin.judge(tessarin.dynamic(data, tau0, window, step, "tdev"), mask)
    if judged.verdict == "fail":
        expected = (f"fail: first in the window at point {judged.first_start}, at tau "
                    f"{judged.first_tau:g} s; in {judged.failing} of {judged.windows} windows")
    elif judged.verdict == "pass":
        expected = f"met in every window ({judged.covered} of {judged.windows} windows covered)"
    else:
        expected = "not covered: the mask holds for " + judged.mask.covered
    assert expected in messages, (expected, messages)
    assert status == (3 if judged.verdict == "fail" else 0)


def one_gap(count, seed):
    """White and random-walk phase noise with a single stretch of gaps, which leaves the spectrum
    most of its segments."""
    random = np.random.default_rng(seed)
    phase = 1e-9 * random.normal(size=count) + 1e-10 * np.cumsum(random.normal(size=count))
    phase[count // 2: count // 2 + 30] = np.nan
    return phase


SERIES["20000 one gap"] = lambda _: (one_gap(20000, 13), 0.1)

SPECTRUM_OPTIONS = {"nominal": "--nominal", "segment": "--segment", "window": "--window",
                    "bands": "--bands"}


def spectrum_options(options):
    arguments = []
    for name, value in options.items():
        if name in SPECTRUM_OPTIONS:
            arguments += [SPECTRUM_OPTIONS[name], value]
        elif name == "ci":
            arguments += ["--ci", "none" if value is None else value]
        elif value:
            arguments.append("--" + name.replace("_", "-"))
    return arguments


@pytest.mark.parametrize("series,kind,quantity,options", [
    ("PHASE.DAT", "phase", "sy", {}),
    ("PHASE.DAT", "frequency", "sx", {"bands": "raw", "window": "rect", "segment": 64}),
    ("20000 one gap", "phase", "lf", {"nominal": 10e6, "bands": 3, "ci": 0.95}),
    ("20000 one gap", "phase", "sphi",
     {"nominal": 5e6, "ci": None, "remove_drift": True, "remove_offset": True}),
    ("20000 one gap", "frequency", "sy", {"segment": 1000, "bands": 20}),
    ("PHASE.DAT", "phase", "sy", {"noise_fit": True}),
    ("20000 one gap", "phase", "lf", {"nominal": 1e7, "noise_fit": True, "ci": 0.9}),
])
def test_spectra_and_levels_are_the_analysers(analyzer, phase_dat, tmp_path, series, kind,
                                              quantity, options):
    data, tau0 = SERIES[series](phase_dat)
    path = write_columns(tmp_path / "series.txt", data)
    rows = analyzer("--phase" if kind == "phase" else "--freq", "--tau0", repr(tau0), "--csv",
                    "--psd", quantity, *spectrum_options(options), path)
    result = tessarin.spectrum(data, tau0, quantity, kind, **options)
    assert len(rows) > 0
    if options.get("noise_fit"):
        levels = result.levels
        assert len(rows) == len(levels) == 10
        assert cells(rows, "alpha") == [str(alpha) for alpha in levels.alpha]
        assert cells(rows, "noise") == list(levels.noise)
        assert cells(rows, "from") == list(levels.source)
        for name in ("h", "ci_low", "ci_high"):
            assert np.array_equal(column(rows, name), levels[name], equal_nan=True), name
        return
    assert result.levels is None and len(rows) == len(result)
    assert cells(rows, "quantity") == [quantity] * len(result)
    assert cells(rows, "averages") == [str(result.averages)] * len(result)
    for name in ("f", "value", "bins", "ci_low", "ci_high"):
        assert np.array_equal(column(rows, name), np.asarray(result[name], dtype=float),
                              equal_nan=True), name

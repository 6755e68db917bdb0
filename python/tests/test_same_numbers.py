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

"""read_dat and join: a .DAT file's runs, their gaps and damaged lines, and runs joined on the
headers' time line."""

import numpy as np
import pytest

import tessarin
from conftest import dat_run


def test_read_dat_gives_each_runs_header_samples_and_damaged_lines_as_gaps(tmp_path):
    first = dat_run("osc.DAT", "07/12/2026", "09:00:00", [1e-9, 2e-9, float("nan"), 4e-9])
    second = dat_run("osc.DAT", "07/12/2026", "09:00:10", [5e-9, 6e-9], lines_after=["junk"])
    second += " 7.0E-09 \r\n"
    path = tmp_path / "osc.DAT"
    path.write_text(first + second, newline="")
    runs = tessarin.read_dat(path)
    assert len(runs) == 2
    run = runs[0]
    assert (run.header_line, run.date, run.time, run.tau0, run.dut_hz, run.mode, run.kind) == (
        7, "07/12/2026", "09:00:00", 1.0, 1e7, "Filtered", "phase")
    np.testing.assert_array_equal(run.samples, [1e-9, 2e-9, np.nan, 4e-9])
    assert run.damaged == [] and not run.samples.flags.writeable
    junk = runs[1].damaged[0]
    np.testing.assert_array_equal(runs[1].samples, [5e-9, 6e-9, np.nan, 7e-9])
    assert (junk.line, junk.run, junk.gap, junk.reason, junk.text) == (
        (first + second).split("\r\n").index("junk") + 1, 2, True, "not a sample line", "junk")
    # A phase run's phase series is its samples, where they lie.
    assert np.shares_memory(runs[0].phase, runs[0].samples)


def test_join_places_runs_by_their_start_times_and_refuses_runs_that_differ(tmp_path):
    text = dat_run("f.DAT", "07/12/2026", "09:00:00", [1e-11] * 3, kind="Frequency")
    text += dat_run("f.DAT", "07/12/2026", "09:00:05", [2e-11] * 2, kind="Frequency")
    path = tmp_path / "f.DAT"
    path.write_text(text, newline="")
    joined = tessarin.join(tessarin.read_dat(path))
    assert (joined.joined, joined.gaps_before) == (2, [(0.0, 0), (2.0, 2)])
    np.testing.assert_array_equal(joined.samples, [1e-11] * 3 + [np.nan] * 2 + [2e-11] * 2)
    # Each frequency run integrated on its own, the gap samples between.
    np.testing.assert_allclose(joined.phase, [1e-11, 2e-11, 3e-11, np.nan, np.nan, 2e-11, 4e-11])

    path.write_text(text + dat_run("f.DAT", "07/12/2026", "09:01:00", [1e-11], tau_ms=500,
                                   kind="Frequency"), newline="")
    with pytest.raises(ValueError, match=r"f\.DAT:\d+: runs 2 and 3 cannot be joined: they "
                                         r"differ in tau \(1 s and 0\.5 s\)"):
        tessarin.join(tessarin.read_dat(path))

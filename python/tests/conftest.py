"""What the module's tests share: the analyser to compare with, the test data, and the writers of
the files the analyser reads."""

import csv
import io
import os
import pathlib
import shutil
import subprocess

import numpy as np
import pytest

TEST_DATA = pathlib.Path(__file__).resolve().parents[2] / "tests" / "data" / "allan"


@pytest.fixture(scope="session")
def analyzer():
    """Runs tessarin-analyze (TESSARIN_ANALYZE, else the one on the PATH) and gives its CSV as
    rows of cells, its warnings on standard error beside them."""
    program = os.environ.get("TESSARIN_ANALYZE") or shutil.which("tessarin-analyze")
    if program is None:
        pytest.fail("tessarin-analyze not found: set TESSARIN_ANALYZE or put it on the PATH")

    def run(*arguments, statuses=(0,), whole=False):
        """The CSV rows; with `whole`, also standard error and the exit status, one of
        `statuses` (3: a mask was failed)."""
        done = subprocess.run([program, *map(str, arguments)], capture_output=True, text=True,
                              check=False)
        assert done.returncode in statuses, done.stderr
        rows = list(csv.DictReader(io.StringIO(done.stdout)))
        return (rows, done.stderr, done.returncode) if whole else rows

    return run


@pytest.fixture(scope="session")
def phase_dat():
    """PHASE.DAT: NIST SP 1065's 1000-point frequency test set as 1001 phase points, tau0 1 s."""
    return np.loadtxt(TEST_DATA / "PHASE.DAT", comments="#")


def write_columns(path, values):
    """A column file of `values`, each written so that it reads back as the same double."""
    path.write_text("".join("NaN\n" if np.isnan(v) else repr(float(v)) + "\n" for v in values))
    return path


def dat_run(name, date, time, values, tau_ms=1000.0, kind="Phase", lines_after=()):
    """One run of a .DAT file as the console writes it: six empty lines, the header, one sample
    line a sample (" 1.500000E-11 "), then any `lines_after` as they are."""
    text = "\r\n" * 6 + f"{name}\tDate  {date}\tTime  {time}\r\n\r\n"
    text += f"DUT Frequency :  10000000 Hz\tTau :  {tau_ms:.1f} ms\r\n\r\n"
    text += f"Mode :   Filtered\r\nData :   {kind} Data\r\n\r\n"
    for value in values:
        text += " NaN \r\n" if np.isnan(value) else f"{'-' if value < 0 else ' '}{abs(value):.9E} \r\n"
    return text + "".join(line + "\r\n" for line in lines_after)

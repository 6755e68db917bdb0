"""Frequency stability analysis of phase and frequency series, with NumPy arrays in and out."""

import os
from typing import Literal, Sequence, Union

import numpy as np
import numpy.typing as npt

__version__: str
STATISTICS: tuple[str, ...]

StatisticName = Literal[
    "console-adev", "oadev", "mdev", "tdev", "hdev", "ohdev", "totdev", "mtie", "tierms",
    "adev", "mtotdev", "ttotdev", "htotdev", "theo1", "theobr", "theoh",
]
WindowedDeviation = Literal["console-adev", "adev", "oadev", "mdev", "tdev", "hdev", "ohdev",
                            "totdev"]
Kind = Literal["phase", "frequency"]
Series = Union[npt.ArrayLike, npt.NDArray[np.float64]]

class Deviation:
    """What tessarin.deviation found: one element per averaging factor in each array."""
    statistic: str
    tau0: float
    tau: npt.NDArray[np.float64]
    m: npt.NDArray[np.int64]
    value: npt.NDArray[np.float64]
    terms: npt.NDArray[np.int64]
    ci_low: npt.NDArray[np.float64]
    ci_high: npt.NDArray[np.float64]
    alpha: npt.NDArray[np.float64]
    edf: npt.NDArray[np.float64]
    drift_per_day: float | None
    mean_frequency: float | None
    warnings: list[str]
    def __getitem__(self, name: str) -> npt.NDArray[np.float64] | npt.NDArray[np.int64]: ...
    def keys(self) -> list[str]: ...
    def __len__(self) -> int: ...

class Dynamic:
    """What tessarin.dynamic found: value and terms are windows x factors."""
    statistic: str
    tau0: float
    window: int
    step: int
    tau: npt.NDArray[np.float64]
    m: npt.NDArray[np.int64]
    start: npt.NDArray[np.int64]
    value: npt.NDArray[np.float64]
    terms: npt.NDArray[np.int64]
    drift_per_day: float | None
    mean_frequency: float | None
    def __getitem__(self, name: str) -> npt.NDArray[np.float64] | npt.NDArray[np.int64]: ...
    def keys(self) -> list[str]: ...

class DamagedLine:
    """A line of a .DAT file that does not have the form it should."""
    line: int
    run: int
    gap: bool
    reason: str
    text: str

class Run:
    """One run of a .DAT file, or several joined."""
    path: str
    header_line: int
    date: str
    time: str
    dut_hz: float | None
    tau0: float | None
    mode: str
    kind: Kind | None
    samples: npt.NDArray[np.float64]
    phase: npt.NDArray[np.float64]
    damaged: list[DamagedLine]
    unkept_damage: int
    joined: int
    gaps_before: list[tuple[float, int]]
    def __len__(self) -> int: ...

def deviation(
    data: Series,
    tau0: float,
    statistic: StatisticName = "oadev",
    kind: Kind = "phase",
    taus: Literal["octave", "decade", "all"] | Sequence[int] = "octave",
    ci: float | None = 0.683,
    method: Literal["coverage", "reference"] = "coverage",
    *,
    noise: Literal["per-tau", "per-statistic"] = "per-tau",
    bias_correction: bool = True,
    remove_drift: bool = False,
    remove_offset: bool = False,
) -> Deviation:
    """Frequency stability of one series of samples taken every tau0 seconds."""

def dynamic(
    data: Series,
    tau0: float,
    window: int,
    step: int | None = None,
    statistic: WindowedDeviation = "oadev",
    kind: Kind = "phase",
    *,
    remove_drift: bool = False,
    remove_offset: bool = False,
) -> Dynamic:
    """Dynamic stability: how a deviation changed along a series."""

def read_dat(path: str | os.PathLike[str]) -> list[Run]:
    """The runs of a .DAT file, as the console records them."""

def join(runs: Sequence[Run]) -> Run:
    """Runs as one series on one time line, as tessarin-analyze --join has them."""

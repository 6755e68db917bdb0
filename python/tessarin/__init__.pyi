"""Frequency stability analysis of phase and frequency series, with NumPy arrays in and out."""

import os
from typing import Any, Literal, Sequence, Union, overload

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
DriftModel = Literal["linear", "quadratic", "log", "diffusion", "average"]
Series = Union[npt.ArrayLike, npt.NDArray[np.float64]]
MaskName = Literal["prc", "prtc-a", "prtc-b", "eprtc", "eec1", "eec2"]
MaskStatistic = Literal["mtie", "tdev"]
Verdict = Literal["pass", "marginal", "fail", "not covered"]
SpectralQuantity = Literal["sx", "sy", "sphi", "lf"]

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
    conditioning: dict[str, Any]
    def __getitem__(self, name: str) -> npt.NDArray[np.float64] | npt.NDArray[np.int64]: ...
    def keys(self) -> list[str]: ...
    def __len__(self) -> int: ...

class HatCurve:
    """One oscillator's deviation in tessarin.hat; NaN value and ci_low where note says the
    separated variance was at or below zero."""
    oscillator: str
    statistic: str
    tau: npt.NDArray[np.float64]
    m: npt.NDArray[np.int64]
    value: npt.NDArray[np.float64]
    terms: npt.NDArray[np.int64]
    ci_low: npt.NDArray[np.float64]
    ci_high: npt.NDArray[np.float64]
    note: list[str]

class Hat:
    """What tessarin.hat found: one curve per oscillator, then per statistic."""
    layout: Literal["triangle", "star", "network"]
    method: str
    intervals: str
    oscillators: list[str]
    curves: list[HatCurve]
    warnings: list[str]

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

class Mask:
    """An ITU-T wander mask of one statistic."""
    name: MaskName
    title: str
    source: str
    statistic: MaskStatistic
    lowest_tau: float
    highest_tau: float
    covered: str
    def limit(self, tau: npt.ArrayLike) -> npt.NDArray[np.float64]: ...

class MaskJudgement:
    """A deviation held to a mask by tessarin.judge: one element per averaging factor."""
    mask: Mask
    tau: npt.NDArray[np.float64]
    m: npt.NDArray[np.int64]
    value: npt.NDArray[np.float64]
    limit: npt.NDArray[np.float64]
    margin: npt.NDArray[np.float64]
    ratio: npt.NDArray[np.float64]
    verdicts: npt.NDArray[np.str_]
    verdict: Verdict
    worst: int | None
    def __getitem__(self, name: str) -> npt.NDArray[np.float64] | npt.NDArray[np.int64] | npt.NDArray[np.str_]: ...
    def keys(self) -> list[str]: ...
    def __len__(self) -> int: ...

class WindowsJudgement:
    """The windows of a dynamic map held to a mask by tessarin.judge."""
    mask: Mask
    verdict: Literal["pass", "fail", "not covered"]
    windows: int
    failing: int
    covered: int
    first_failing: int | None
    first_start: int | None
    first_tau: float | None

class NoiseLevels:
    """The power-law levels of tessarin.spectrum's noise_fit, as the analyser's CSV has them."""
    alpha: npt.NDArray[np.int64]
    noise: npt.NDArray[np.str_]
    h: npt.NDArray[np.float64]
    ci_low: npt.NDArray[np.float64]
    ci_high: npt.NDArray[np.float64]
    source: npt.NDArray[np.str_]
    def __getitem__(self, name: str) -> npt.NDArray[np.float64] | npt.NDArray[np.int64] | npt.NDArray[np.str_]: ...
    def keys(self) -> list[str]: ...
    def __len__(self) -> int: ...

class Spectrum:
    """What tessarin.spectrum found: one element per band (or raw bin) in each array."""
    quantity: SpectralQuantity
    tau0: float
    nominal: float | None
    segment: int
    window: Literal["hann", "rect"]
    bands: int | Literal["raw"]
    averages: int
    left_out: int
    f: npt.NDArray[np.float64]
    value: npt.NDArray[np.float64]
    bins: npt.NDArray[np.int64]
    edf: npt.NDArray[np.float64]
    ci_low: npt.NDArray[np.float64]
    ci_high: npt.NDArray[np.float64]
    levels: NoiseLevels | None
    def predicted_deviation(
        self,
        statistic: StatisticName,
        tau: npt.ArrayLike,
        source: Literal["psd", "deviations"] = "psd",
    ) -> npt.NDArray[np.float64]: ...
    def __getitem__(self, name: str) -> npt.NDArray[np.float64] | npt.NDArray[np.int64]: ...
    def keys(self) -> list[str]: ...
    def __len__(self) -> int: ...

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
    remove_drift: bool | DriftModel = False,
    remove_offset: bool = False,
    outliers: float | None = None,
    find_steps: float | None = None,
    remove_steps: bool = False,
) -> Deviation:
    """Frequency stability of one series of samples taken every tau0 seconds."""

def hat(
    pairs: dict[str, Series],
    tau0: float,
    statistic: StatisticName | Sequence[StatisticName] = "oadev",
    kind: Kind = "phase",
    taus: Literal["octave", "decade", "all"] | Sequence[int] = "octave",
    ci: float | None = 0.683,
) -> Hat:
    """The N-cornered hat: each oscillator's own deviation from pair measurements."""

def dynamic(
    data: Series,
    tau0: float,
    window: int,
    step: int | None = None,
    statistic: WindowedDeviation = "oadev",
    kind: Kind = "phase",
    *,
    remove_drift: bool | DriftModel = False,
    remove_offset: bool = False,
    outliers: float | None = None,
    find_steps: float | None = None,
    remove_steps: bool = False,
) -> Dynamic:
    """Dynamic stability: how a deviation changed along a series."""

def read_dat(path: str | os.PathLike[str]) -> list[Run]:
    """The runs of a .DAT file, as the console records them."""

def join(runs: Sequence[Run]) -> Run:
    """Runs as one series on one time line, as tessarin-analyze --join has them."""

def spectrum(
    data: Series,
    tau0: float,
    quantity: SpectralQuantity = "sy",
    kind: Kind = "phase",
    *,
    nominal: float | None = None,
    segment: int | None = None,
    window: Literal["hann", "rect"] = "hann",
    bands: int | Literal["raw"] = 10,
    ci: float | None = 0.683,
    noise_fit: bool = False,
    remove_drift: bool | DriftModel = False,
    remove_offset: bool = False,
    outliers: float | None = None,
    find_steps: float | None = None,
    remove_steps: bool = False,
) -> Spectrum:
    """The one-sided spectrum of one series of samples taken every tau0 seconds."""

def masks() -> list[Mask]:
    """The ITU-T wander masks carried, as tessarin.Mask objects."""

def mask_limit(mask: MaskName, statistic: MaskStatistic, tau: npt.ArrayLike
               ) -> npt.NDArray[np.float64]:
    """The limit a mask sets at each tau, in seconds; NaN where it says nothing."""

def mask_line(mask: MaskName, statistic: MaskStatistic, from_tau: float, to_tau: float
              ) -> tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]:
    """A mask's line to draw over from_tau to to_tau seconds: (tau, limit)."""

@overload
def judge(result: Deviation, mask: MaskName) -> MaskJudgement:
    """Holds a deviation of mtie or tdev to a telecom mask, as tessarin-analyze --mask does."""
@overload
def judge(result: Dynamic, mask: MaskName) -> WindowsJudgement:
    """Holds the windows of a dynamic map of tdev to a telecom mask."""

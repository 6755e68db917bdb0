"""tessarin.hat gives the analyser's --hat figures bit for bit, negative estimates included."""

import numpy as np
import pytest

import tessarin
from conftest import write_columns

COLUMNS = ("tau", "m", "value", "terms", "ci_low", "ci_high")


def oscillators(count, seed, quiet=()):
    """White-FM phase of `count` oscillators, 3000 points; those in `quiet` without noise."""
    random = np.random.default_rng(seed)
    return [np.zeros(3000) if k in quiet else 1e-11 * np.cumsum(random.normal(size=3000))
            for k in range(count)]


@pytest.mark.parametrize("pairs,quiet", [
    (("A-B", "B-C", "C-A"), (2,)),
    (("A-R", "B-R", "C-R"), ()),
])
def test_hat_gives_the_analysers_csv_bit_for_bit(tmp_path, analyzer, pairs, quiet):
    names = sorted({name for pair in pairs for name in pair.split("-")})
    clocks = dict(zip(names, oscillators(len(names), 5, quiet)))
    series = {}
    items = []
    for pair in pairs:
        first, second = pair.split("-")
        series[pair] = clocks[first] - clocks[second]
        items.append(f"{pair}={write_columns(tmp_path / (pair + '.txt'), series[pair])}")
    rows = analyzer("--hat", ",".join(items), "--phase", "--tau0", "1", "--stat", "oadev,mdev",
                    "--csv")
    result = tessarin.hat(series, 1.0, ["oadev", "mdev"])
    assert [c.oscillator for c in result.curves][::2] == result.oscillators
    for curve in result.curves:
        mine = [r for r in rows
                if r["oscillator"] == curve.oscillator and r["statistic"] == curve.statistic]
        assert len(mine) == len(curve.tau) > 0
        for name in COLUMNS:
            cells = np.array([float(r[name]) if r[name] else np.nan for r in mine])
            assert np.array_equal(cells, np.asarray(getattr(curve, name), dtype=float),
                                  equal_nan=True), f"{curve.oscillator} {name}"
        assert [r["note"] for r in mine] == curve.note
    if quiet:
        assert "negative estimate: upper bound only" in result.curves[4].note


def test_hat_refuses_pairs_that_make_no_hat():
    x = np.zeros(100)
    with pytest.raises(ValueError, match="bad pair name: 'AB'"):
        tessarin.hat({"AB": x, "B-C": x, "C-A": x}, 1.0)
    with pytest.raises(ValueError, match="the pair B-A is given twice"):
        tessarin.hat({"A-B": x, "B-C": x, "B-A": x}, 1.0)
    with pytest.raises(ValueError, match="mtie is not one"):
        tessarin.hat({"A-B": x, "B-C": x, "C-A": x}, 1.0, "mtie")

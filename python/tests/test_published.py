"""NIST SP 1065's published figures pass through the module as through the analyser."""

import numpy as np
import pytest

import tessarin


def nbs14_1000_point_set():
    """The NBS-14 1000-point frequency test set: n[0] = 1234567890, n[i+1] = 16807 n[i] mod
    2147483647, each divided by 2147483647."""
    values, n = [], 1234567890
    for _ in range(1000):
        values.append(n / 2147483647)
        n = 16807 * n % 2147483647
    return np.array(values)


NINE_POINTS = [892, 809, 823, 798, 671, 644, 883, 903, 677]


@pytest.mark.parametrize("data,statistic,published", [
    # SP 1065's nine frequency points, tau0 = 1 s, at m = 1 and 2.
    (NINE_POINTS, "adev", {1: 91.22945, 2: 115.8082}),
    (NINE_POINTS, "oadev", {1: 91.22945, 2: 85.95287}),
    (NINE_POINTS, "mdev", {1: 91.22945, 2: 74.78849}),
    (NINE_POINTS, "tdev", {1: 52.67135, 2: 86.35831}),
    (NINE_POINTS, "hdev", {1: 70.80607, 2: 116.7980}),
    (NINE_POINTS, "ohdev", {1: 70.80607, 2: 85.61487}),
    (NINE_POINTS, "totdev", {1: 91.22945, 2: 93.90379}),
    # The 1000-point set: its published ADEV, and MTOTDEV and TTOTDEV with the white FM bias
    # removed (at m = 100 too few points are left to tell the noise).
    ("1000", "adev", {1: 2.922319e-01, 10: 9.965736e-02, 100: 3.897804e-02}),
    ("1000", "mtotdev", {1: 2.418528e-01, 10: 6.499161e-02}),
    ("1000", "ttotdev", {1: 1.396338e-01, 10: 3.752293e-01}),
])
def test_published_values(data, statistic, published):
    series = nbs14_1000_point_set() if data == "1000" else data
    result = tessarin.deviation(series, 1.0, statistic, "frequency", list(published))
    assert list(result.m) == list(published)
    np.testing.assert_allclose(result.value, list(published.values()), rtol=2e-6)

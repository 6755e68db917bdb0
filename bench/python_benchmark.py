#!/usr/bin/env python3
"""The Python module's speed, beside a plain NumPy overlapping Allan deviation.

    PYTHONPATH=build/python python3 bench/python_benchmark.py [--points N] [--long-tau-points N]

Over a series of white-FM phase noise (1e6 points by default, tau0 = 1 s): every statistic at the
octave factors with 68.3 % intervals, each in its own call (the long-tau family, O(N m) per
factor, over --long-tau-points, 1e5 by default: over 1e6 it takes minutes a statistic); then the
overlapping Allan deviation of the usual vectorised NumPy form (the phase as the cumulative sum of
the frequencies, then the second differences at each factor) as the baseline; then the cost of
one call over a short series, and two series analysed one after the other and on two Python
threads at once. Each figure is the best of a few runs.
"""

import argparse
import threading
import time

import numpy as np

import tessarin

LONG_TAU = {"mtotdev", "ttotdev", "htotdev", "theo1", "theobr", "theoh"}


def best_of(runs, work):
    """The shortest of `runs` timings of work(), in seconds."""
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def numpy_oadev(frequency, tau0, factors):
    """The overlapping Allan deviation as it is usually written with NumPy: the phase from the
    cumulative sum of the frequencies, then the mean square of the second differences at each m.
    No intervals, no gaps."""
    phase = np.concatenate(([0.0], np.cumsum(frequency) * tau0))
    values = []
    for m in factors:
        d = phase[2 * m:] - 2 * phase[m:-m] + phase[:-2 * m]
        values.append(np.sqrt(np.mean(d * d) / (2 * (m * tau0) ** 2)))
    return np.array(values)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--long-tau-points", type=int, default=100_000)
    options = parser.parse_args()
    random = np.random.default_rng(1)
    frequency = 1e-11 * random.normal(size=options.points - 1)
    phase = np.concatenate(([0.0], np.cumsum(frequency)))
    print(f"tessarin {tessarin.__version__}, {options.points} phase points of white FM, octave "
          "factors, 68.3 % intervals")
    print(f"{'statistic':<13} {'points':>9} {'factors':>8} {'seconds':>9}")
    for statistic in tessarin.STATISTICS:
        series = phase[:options.long_tau_points] if statistic in LONG_TAU else phase
        result = tessarin.deviation(series, 1.0, statistic)
        runs = 1 if statistic in LONG_TAU else 3
        took = best_of(runs, lambda: tessarin.deviation(series, 1.0, statistic))
        print(f"{statistic:<13} {len(series):>9} {len(result):>8} {took:>9.4f}")

    octave = tessarin.deviation(phase, 1.0, "oadev", ci=None)
    baseline = best_of(5, lambda: numpy_oadev(frequency, 1.0, octave.m))
    with_intervals = best_of(20, lambda: tessarin.deviation(phase, 1.0, "oadev"))
    values_only = best_of(20, lambda: tessarin.deviation(phase, 1.0, "oadev", ci=None))
    differs = np.max(np.abs(numpy_oadev(frequency, 1.0, octave.m) / octave.value - 1))
    print(f"\noadev over {options.points} points, {len(octave)} octave factors:")
    print(f"  NumPy, no intervals          {baseline:9.4f} s")
    print(f"  tessarin, 68.3 % intervals   {with_intervals:9.4f} s  "
          f"({baseline / with_intervals:.0f} times faster)")
    print(f"  tessarin, values only        {values_only:9.4f} s  "
          f"({baseline / values_only:.0f} times faster)")
    print(f"  largest relative difference of the values: {differs:.1e}")

    for points in (1000, 10):
        short = phase[:points]
        calls = 2000
        for ci, label in ((None, "values only"), (0.683, "with intervals")):
            took = best_of(3, lambda: [tessarin.deviation(short, 1.0, "oadev", ci=ci)
                                       for _ in range(calls)]) / calls
            print(f"one call over {points:>4} points, oadev {label:<15} {took * 1e6:7.1f} us")

    # Below 20000 points the engine works on one thread: two Python threads can use two cores.
    pair = [phase[:19000], phase[19000:38000]]
    def work(series):
        tessarin.deviation(series, 1.0, "totdev", taus="all")
    serial = best_of(2, lambda: [work(series) for series in pair])

    def threaded():
        threads = [threading.Thread(target=work, args=(series,)) for series in pair]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()

    cpu = time.process_time()
    parallel = best_of(2, threaded)
    # The processor time the threads had, over the time they took: how many cores they ran on
    # at once, whatever else the machine was doing.
    cores = (time.process_time() - cpu) / (2 * parallel)
    print(f"\ntwo series of 19000 points, totdev at every factor: one after the other "
          f"{serial:.3f} s, on two Python threads {parallel:.3f} s ({serial / parallel:.2f} times "
          f"as fast; at most {cores:.2f} cores busy at once)")


if __name__ == "__main__":
    main()

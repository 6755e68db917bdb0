"""The engine works without the GIL: another Python thread goes on while a long call runs."""

import threading
import time

import numpy as np
import pytest

import tessarin


# Each long enough to tell; the deviation below 20000 points, where the engine itself works on
# one thread, as the spectrum always does.
CALLS = {
    "deviation": (19000, lambda phase: tessarin.deviation(phase, 1.0, "totdev", taus="all")),
    "spectrum": (4_000_000, lambda phase: tessarin.spectrum(phase, 1.0, "sy")),
}


@pytest.mark.parametrize("call", CALLS)
def test_another_thread_runs_while_the_engine_works(call):
    points, work = CALLS[call]
    phase = np.cumsum(np.random.default_rng(1).normal(size=points)) * 1e-9
    counted = [0]
    stop = threading.Event()

    def count():
        while not stop.is_set():
            counted[0] += 1

    spinner = threading.Thread(target=count)
    spinner.start()
    try:
        time.sleep(0.05)  # the main thread waits without the GIL: the spinner's own pace
        before = counted[0]
        time.sleep(0.05)
        per_second = (counted[0] - before) / 0.05
        start, before = time.perf_counter(), counted[0]
        for _ in range(3):
            work(phase)
        took, during = time.perf_counter() - start, counted[0] - before
    finally:
        stop.set()
        spinner.join()
    assert took > 0.2, "the call is too short to tell"
    # Held, the GIL would let the spinner run one switch interval (5 ms) at most.
    assert during > per_second * 0.05, (during, per_second, took)

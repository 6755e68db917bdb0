#pragma once

class Console;

// Non-overlapping Allan deviation of phase samples x[1..n] (seconds) at averaging time `tau`:
// sqrt(sum of squared second differences / (2 (n - 2) tau^2)). Needs n >= 3; x[0] is not read.
double allanDeviationOfDecimated(const double* x, int n, double tau);

// Recomputes the Allan deviation of the run's phase samples 1..N for averaging factors
// dblFirstFactor, 2 dblFirstFactor, ... (while N / m >= 5), keeps the frozen levels below them,
// and redraws "Curve2" on the stability plot.
void analyseStability(Console& c);

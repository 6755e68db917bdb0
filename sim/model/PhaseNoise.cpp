#include "model/PhaseNoise.h"

PhaseNoise::PhaseNoise(double whitePhaseSeconds, double whiteFrequency, std::uint64_t seed)
    : whitePhaseSeconds_(whitePhaseSeconds), whiteFrequency_(whiteFrequency), random_(seed) {}

double PhaseNoise::next(double interval) {
  if (whiteFrequency_ > 0.0) integratedFrequency_ += whiteFrequency_ * normal_(random_) * interval;
  double x = integratedFrequency_;
  if (whitePhaseSeconds_ > 0.0) x += whitePhaseSeconds_ * normal_(random_);
  return x;
}

#include "analysis/ConditioningRecord.h"

#include <array>
#include <utility>

namespace tessarin::analysis {

namespace {

constexpr std::array<std::pair<DriftModel, std::string_view>, 6> kNames = {{
    {DriftModel::Quadratic, "quadratic"},
    {DriftModel::Average, "average"},
    {DriftModel::Linear, "linear"},
    {DriftModel::Log, "log"},
    {DriftModel::Diffusion, "diffusion"},
    {DriftModel::PhaseQuadratic, "quadratic"},
}};

}  // namespace

std::string_view nameOf(DriftModel model) {
  for (const auto& [named, name] : kNames)
    if (named == model) return name;
  return "none";
}

std::string_view formulaOf(const DriftFit& fit) {
  const DriftModel model =
      fit.onPhase && fit.model == DriftModel::Quadratic ? DriftModel::PhaseQuadratic : fit.model;
  switch (model) {
    case DriftModel::PhaseQuadratic:
      return "x = a + b t + c t^2 on the phase, the drift 2c";
    case DriftModel::Average:
      return "the mean frequency from the end points of the phase";
    case DriftModel::Linear:
      return "y = a + b t, t in days from the first sample";
    case DriftModel::Quadratic:
      return "y = a + b t + c t^2, t in days from the first sample";
    case DriftModel::Log:
      return "y = a ln(b t + 1) + c, t in days from the first sample";
    case DriftModel::Diffusion:
      return "y = a + b (t + c)^1/2, t in days from the first sample";
    case DriftModel::None:
      break;
  }
  return "none";
}

std::optional<DriftModel> driftModelNamed(std::string_view name) {
  for (const auto& [model, named] : kNames)
    if (named == name) return model;
  return std::nullopt;
}

}  // namespace tessarin::analysis

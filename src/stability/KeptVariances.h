#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <utility>

#include "stability/LongTauParts.h"

namespace tessarin::stability {

// The long-tau sums of the last series seen, by kind and factor: MTOTDEV and TTOTDEV are the same
// sums, Theo1, TheoBR and TheoH share Theo1's, and an analysis asks for them over one series. A
// series is known again by its length and a hash of its bytes, which costs one pass.
enum class SumKind { ReflectedModified, Theo1 };

VarianceTerms keptVariance(std::span<const double> series, SumKind kind, std::int64_t factor,
                           const std::function<VarianceTerms()>& compute);

}  // namespace tessarin::stability

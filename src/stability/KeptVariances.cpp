#include "stability/KeptVariances.h"

#include <string_view>

namespace tessarin::stability {

namespace {

struct Kept {
  std::size_t size = 0;
  std::size_t fingerprint = 0;
  std::map<std::pair<SumKind, std::int64_t>, VarianceTerms> values;
};

}  // namespace

VarianceTerms keptVariance(std::span<const double> series, SumKind kind, std::int64_t factor,
                           const std::function<VarianceTerms()>& compute) {
  thread_local Kept kept;
  const std::string_view bytes(reinterpret_cast<const char*>(series.data()), series.size_bytes());
  const std::size_t fingerprint = std::hash<std::string_view>{}(bytes);
  if (kept.size != series.size() || kept.fingerprint != fingerprint)
    kept = {series.size(), fingerprint, {}};
  const auto key = std::make_pair(kind, factor);
  if (const auto found = kept.values.find(key); found != kept.values.end()) return found->second;
  const VarianceTerms value = compute();
  kept.values.emplace(key, value);
  return value;
}

}  // namespace tessarin::stability

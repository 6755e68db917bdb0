#include "graphics/StabilityMeasures.h"

namespace tessarin::graphics {

const StabilityMeasure* measureNamed(const QString& word) {
  const QString plain = word.trimmed().toLower();
  for (const StabilityMeasure& measure : kStabilityMeasures)
    if (plain == QLatin1String(measure.word)) return &measure;
  return nullptr;
}

}  // namespace tessarin::graphics

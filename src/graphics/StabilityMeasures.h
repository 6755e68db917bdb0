#pragma once

#include <QString>
#include <array>

#include "stability/Statistics.h"

namespace tessarin::graphics {

// A measure the stability plot can show: the plot's title and Y unit with it, and the word that
// names it in stabilitymeasure.txt. TDEV and MTIE are time errors, in seconds.
struct StabilityMeasure {
  stability::Statistic statistic;
  const char* title;
  const char* unit;
  const char* word;
};

inline constexpr std::array<StabilityMeasure, 4> kStabilityMeasures = {{
    {stability::Statistic::Adev, "Allan Dev.", "", "adev"},
    {stability::Statistic::Mdev, "Modified Allan Dev.", "", "mdev"},
    {stability::Statistic::Tdev, "TDEV", "Sec", "tdev"},
    {stability::Statistic::Mtie, "MTIE", "Sec", "mtie"},
}};

// The measure a word of stabilitymeasure.txt names (blanks and case do not matter), or nullptr.
const StabilityMeasure* measureNamed(const QString& word);

}  // namespace tessarin::graphics

#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "analysis/DynamicStability.h"
#include "platform/Result.h"

namespace tessarin::analyze::output {

// Draws the map as colours, window start across (the sample index, or the date and time when
// `seriesStart` gives the series' start in seconds from the start of Julian day 0) and tau up a
// logarithmic axis, the colour the log10 of the deviation with its scale beside, and writes the
// picture to `path`: a PDF when the name ends in .pdf, else a PNG. Windows without a value there
// are left blank. Needs a QApplication (offscreen will do).
platform::Result<> writeDynamicPlot(const QString& path, const QString& title,
                                    const analysis::DynamicMap& map,
                                    std::optional<std::int64_t> seriesStart);

}  // namespace tessarin::analyze::output

#pragma once

#include <QStringList>

#include "graphics/PlotLimits.h"
#include "platform/Result.h"

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// Prepares the Graphics Scales window: places it and fills its boxes from setting3.txt (the
// default texts when the file is missing; a file that cannot be read is said in the status line).
void loadScalesWindow(Console& c);

// The eight boxes' texts, in box order.
QStringList scaleBoxTexts(const Console& c);
// The plot limits the boxes give; the reason names a box that holds no number.
platform::Result<graphics::PlotLimits> readScaleBoxes(const Console& c);
// Writes the boxes' texts to setting3.txt for the next start-up.
platform::Result<> saveScaleBoxes(const Console& c);

void chooseAutoscale(Console& c);
void chooseLimits(Console& c);

}  // namespace tessarin::app::plots

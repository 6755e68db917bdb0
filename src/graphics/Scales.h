#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/Console.h"

namespace tessarin::graphics {

// The eight scale texts as the operator first sees them, in box order.
QStringList defaultScaleTexts();

// The eight TAB-terminated fields of a setting3.txt record; fields missing from a short record
// take the default texts.
QStringList splitScaleRecord(const QString& text);

// Loads the Graphics Scales window: places it and fills its boxes from setting3.txt (the default
// texts when the file is missing).
void loadScalesWindow(app::Console& c);

// Takes the eight boxes over as the plot limits and writes them to setting3.txt. When a box does
// not hold a number nothing is taken over and the message names the box.
std::optional<QString> storeScales(app::Console& c);

// Puts the limits taken over last into the axes of both plots.
void applyScales(app::Console& c);

void chooseAutoscale(app::Console& c);
void chooseLimits(app::Console& c);

}  // namespace tessarin::graphics

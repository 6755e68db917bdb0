#pragma once

#include <QString>

class QAction;
class QFontMetrics;
class QMenuBar;

namespace tessarin::qt {

// `text` shortened to at most `width` pixels in `metrics`. File paths give way first: the middle
// of their folder part becomes "…", so the file name and what the text says about it stay. A
// text that still does not fit loses its own middle.
QString FitStatusText(const QString& text, const QFontMetrics& metrics, int width);

// Shows `text` as the caption of `status`, an item of the menu bar `bar`, shortened to the room
// the bar's other items leave it, so that it never folds away behind the bar's overflow button.
// The whole text is the item's tooltip, shown when the pointer rests on a shortened caption. The
// caption is shortened anew whenever the bar changes width or its other items change.
void ShowStatusText(QMenuBar& bar, QAction& status, const QString& text);

}  // namespace tessarin::qt

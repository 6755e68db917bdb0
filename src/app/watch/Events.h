#pragma once

#include <QString>

namespace tessarin::app {
class Console;
}

namespace tessarin::app::watch {

// Records that `name` happened, told as `text`, at the console's current time.
void recordEvent(Console& c, const QString& name, const QString& text);

}  // namespace tessarin::app::watch

#include "app/watch/Events.h"

#include "app/Console.h"

namespace tessarin::app::watch {

void recordEvent(Console& c, const QString& name, const QString& text) {
  c.events().record({c.platform().clock.dateTime(), name, text});
}

}  // namespace tessarin::app::watch

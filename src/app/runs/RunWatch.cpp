#include "app/runs/RunWatch.h"

#include "app/Console.h"
#include "app/runs/Recording.h"

namespace tessarin::app::runs {

void watchRun(Console& c) {
  syncDataFile(c);
  const std::optional<std::chrono::seconds> silence =
      c.silence().silenceToTell(c.platform().clock.sinceStart());
  if (silence) c.setStatus(QStringLiteral("No samples for %1 s").arg(silence->count()));
}

}  // namespace tessarin::app::runs

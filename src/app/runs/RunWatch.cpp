#include "app/runs/RunWatch.h"

#include "app/Console.h"
#include "app/runs/Recording.h"
#include "app/runs/Resume.h"
#include "app/watch/Events.h"

namespace tessarin::app::runs {

void watchRun(Console& c) {
  if (c.resumption().active()) return watchResumption(c);
  syncDataFile(c);
  const std::chrono::milliseconds now = c.platform().clock.sinceStart();
  const std::optional<std::chrono::seconds> silence = c.silence().silenceToTell(now);
  if (!silence) return;
  const QString told = QStringLiteral("No samples for %1 s").arg(silence->count());
  watch::recordEvent(c, QStringLiteral("silence"), told);
  if (c.menus().resumeAfterPortLoss.checked() && c.silence().instrumentLost(now)) {
    loseRun(c, told);
  } else {
    c.setStatus(told);
  }
}

}  // namespace tessarin::app::runs

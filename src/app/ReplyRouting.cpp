#include "app/ReplyRouting.h"

#include "app/runs/Recording.h"
#include "app/runs/RunControl.h"
#include "app/runs/StabilityWatch.h"
#include "app/tuning/Initialization.h"
#include "link/InstrumentCommands.h"

namespace tessarin::app {

namespace {

void stopStrayStream(Console& c) {
  const Platform& p = c.platform();
  if (!p.serialPort.isOpen()) return;
  if (c.strayStream().shouldStopAgain(p.clock.sinceStart())) c.instrument().send(link::kStopStream);
}

}  // namespace

void receiveCharacter(Console& c, char received) {
  if (const std::optional<std::string_view> line = c.replyFramer().take(received))
    routeReplyLine(c, *line);
}

void routeReplyLine(Console& c, std::string_view line) {
  switch (c.state()) {
    case RunState::Closed:
      return;
    case RunState::Running: {
      const int before = c.measurement().sampleCount();
      const run::Measurement::LineOutcome taken = c.measurement().take(line);
      if (taken.recorded) runs::reportSampleLine(c, *taken.recorded);
      if (c.measurement().sampleCount() > before) runs::watchStability(c);
      if (taken.kind == run::Measurement::LineKind::SampleLimitReached)
        runs::endRunAtSampleLimit(c);
      return;
    }
    case RunState::Counting:
      if (line.size() > link::kReadingLength) tuning::takeCountReply(c, line);
      break;
    case RunState::Refining1:
    case RunState::Refining2:
    case RunState::Refining3:
      if (line.size() == link::kReadingLength) tuning::takeStageSample(c, line);
      break;
    case RunState::Idle:
    case RunState::WaitingForLock:
    case RunState::Ready:
    case RunState::EndedAtSampleLimit:
    case RunState::Stopped:
    case RunState::Resuming:
      if (line.size() == link::kReadingLength) stopStrayStream(c);
      break;
  }
  c.filterLock().takeReply(line);
}

}  // namespace tessarin::app

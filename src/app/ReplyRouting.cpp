#include "app/ReplyRouting.h"

#include "link/FilterLock.h"
#include "link/Initialization.h"
#include "run/RunControl.h"

namespace tessarin::app {

namespace {

constexpr std::size_t kReadingLength = 8;
// A stream that goes on although "PH00" went out is asked to stop again at most this often.
constexpr std::chrono::milliseconds kStrayStopInterval{1000};

void stopStrayStream(Console& c) {
  const std::chrono::milliseconds now = c.clock.sinceStart();
  if (!c.serialPort.isOpen()) return;
  if (c.streamStoppedAt && now - *c.streamStoppedAt < kStrayStopInterval) return;
  c.streamStoppedAt = now;
  c.instrument.send("PH00");
}

}  // namespace

void receiveCharacter(Console& c, char received) {
  if (const std::optional<std::string_view> line = c.replyFramer.take(received))
    routeReplyLine(c, *line);
}

void routeReplyLine(Console& c, std::string_view line) {
  switch (c.state()) {
    case RunState::Closed:
      return;
    case RunState::Running:
      if (c.measurement.take(line) == run::Measurement::LineOutcome::SampleLimitReached)
        run::endRunAtSampleLimit(c);
      return;
    case RunState::Counting:
      if (line.size() > kReadingLength) link::takeCountReply(c, line);
      break;
    case RunState::Refining1:
    case RunState::Refining2:
    case RunState::Refining3:
      if (line.size() == kReadingLength) link::takeStageSample(c, line);
      break;
    case RunState::Idle:
    case RunState::WaitingForLock:
    case RunState::Ready:
    case RunState::EndedAtSampleLimit:
    case RunState::Stopped:
      if (line.size() == kReadingLength) stopStrayStream(c);
      break;
  }
  link::noteLockReply(c, line);
}

}  // namespace tessarin::app

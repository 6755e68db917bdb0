#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// "&Resume after Port Loss": checks or clears the item and keeps the choice in resume.txt for the
// next start. It may change during a run: the run that is on follows it from then.
void toggleResumeAfterPortLoss(Console& c);

// At start-up: the item as resume.txt leaves it; unchecked when there is no such file.
void restoreResumeAfterPortLoss(Console& c);

}  // namespace tessarin::app::runs

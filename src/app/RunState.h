#pragma once

namespace tessarin::app {

// Where the console stands with the instrument. Exactly one state at a time; the Start/Stop and
// Initialization items, the lock poll and the meaning of a reply line follow from it.
enum class RunState {
  Idle,       // not tuned to a DUT: before the first initialization, after a failed one
              // or after the port failed
  Counting,   // counting the DUT frequency
  Refining1,  // the three refinement stages of 3, 12 and 20 samples
  Refining2,
  Refining3,
  WaitingForLock,      // filtered mode: polling the XTAL filter until it reports its lock
  Ready,               // tuned: a run can start
  Running,             // each reply line is a sample
  EndedAtSampleLimit,  // the run ended itself at the sample limit; Stop still to be chosen
  Stopped,             // a run was stopped; another can start
  Resuming,  // a run lost its instrument: the port is being reopened, or the initialization
             // waits to be tried again (while it runs, the console is in its usual states)
  Closed,    // the console has quit: nothing more is sent or handled
};

// A run is on, or has ended itself and awaits Stop: the Start/Stop item reads "S&top".
inline bool showsStop(RunState state) {
  return state == RunState::Running || state == RunState::EndedAtSampleLimit;
}

inline bool canStartOrStop(RunState state) {
  return state == RunState::Ready || state == RunState::Stopped || showsStop(state);
}

inline bool isRefining(RunState state) {
  return state == RunState::Refining1 || state == RunState::Refining2 ||
         state == RunState::Refining3;
}

}  // namespace tessarin::app

#pragma once

#include <atomic>
#include <cstdint>

namespace tessarin::analysis {

// How far a long piece of work has come, for a front end to show while it waits: the engine and
// the readers count their steps here from whichever thread takes them, and the front end reads
// the count from another. A step is a factor's estimates, a noise reading or a statistic's
// intervals, or a byte of an input file read.
class AnalysisProgress {
 public:
  enum class Stage { Idle, Reading, Estimates, NoiseReadings, Intervals };

  struct Reading {
    Stage stage = Stage::Idle;
    std::int64_t done = 0;
    std::int64_t total = 0;
  };

  void begin(Stage stage, std::int64_t total) {
    done_.store(0, std::memory_order_relaxed);
    total_.store(total, std::memory_order_relaxed);
    stage_.store(stage, std::memory_order_release);
  }
  void advance(std::int64_t steps = 1) { done_.fetch_add(steps, std::memory_order_relaxed); }
  // The count of steps done, for a reader below the engine to advance a byte at a time.
  std::atomic<std::int64_t>* doneCounter() { return &done_; }
  void end() { stage_.store(Stage::Idle, std::memory_order_release); }

  Reading read() const {
    const Stage stage = stage_.load(std::memory_order_acquire);
    return {stage, done_.load(std::memory_order_relaxed), total_.load(std::memory_order_relaxed)};
  }

 private:
  std::atomic<Stage> stage_{Stage::Idle};
  std::atomic<std::int64_t> done_{0};
  std::atomic<std::int64_t> total_{0};
};

}  // namespace tessarin::analysis

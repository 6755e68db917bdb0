// The recording path takes no memory per sample: a reading goes from the serial handler through
// the measurement and the recorder into the data file, with its open, append and close, and not
// one heap allocation is made on the way once the run is under way. What does take memory during
// a run is named below, with how often.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/runs/RunFixture.h"

// The sanitizers bring an allocator of their own, which counting through glibc's would bypass.
#if defined(__SANITIZE_ADDRESS__)
#define TESSARIN_ALLOCATIONS_COUNTED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSARIN_ALLOCATIONS_COUNTED 0
#endif
#endif
#ifndef TESSARIN_ALLOCATIONS_COUNTED
#define TESSARIN_ALLOCATIONS_COUNTED 1
#endif

namespace {

// The allocations this thread makes while `counting` is set.
thread_local bool counting = false;
thread_local long allocations = 0;

}  // namespace

#if TESSARIN_ALLOCATIONS_COUNTED
// The program's own malloc, calloc and realloc stand in for glibc's and count before handing the
// call over. Qt's containers and strings take their memory from them, and operator new does too,
// so every heap allocation of the thread passes here; free stays glibc's, which owns the memory.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* memory, std::size_t size) noexcept;

void* malloc(std::size_t size) noexcept {
  if (counting) ++allocations;
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  if (counting) ++allocations;
  return __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) noexcept {
  if (counting) ++allocations;
  return __libc_realloc(memory, size);
}
}
#endif

namespace tessarin::test {
namespace {

// Plots that keep nothing: the points a plot keeps are its own memory, not the recording path's.
class QuietPlot : public FakePlot {
 public:
  void appendPoint(const QString&, double, double) override {}
  void replaceLastPoint(const QString&, double) override {}
  void setCurve(const QString&, std::span<const double>, std::span<const double>) override {}
  void setErrorBars(const QString&, std::span<const double>, std::span<const double>) override {}
};

class SampleLineAllocationTest : public RunFixture {
 protected:
  SampleLineAllocationTest() {
    drawnDataPlot = &quietData;
    drawnStabilityPlot = &quietStability;
  }

  QuietPlot quietData;
  QuietPlot quietStability;
};

TEST_F(SampleLineAllocationTest, RecordingASampleLineTakesNoHeapMemory) {
  if (!TESSARIN_ALLOCATIONS_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted";
  // Lines of a DUT a little off its programmed frequency, made before anything is counted.
  constexpr int kWarmUp = 100;
  constexpr int kCounted = 5000;  // inside the phase store a run starts with
  std::vector<std::string> lines;
  for (int k = 0; k < kWarmUp + kCounted; ++k)
    lines.push_back(Hex8(static_cast<std::int32_t>(1200000 + 3 * k + k % 7)) + "\r\n");

  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  ASSERT_EQ(c.state(), app::RunState::Running);
  for (int k = 0; k < kWarmUp; ++k) serial.receive(lines[static_cast<std::size_t>(k)]);
  const qsizetype linesBefore = dataFile().count("\r\n");

  // Every 10th sample is also a moment of the stability analysis, whose running noise
  // identification takes room for each new octave the run reaches: a few times a run, not per
  // sample.
  long sampleAllocations = 0;
  std::vector<int> analysesThatAllocated;
  for (int k = kWarmUp; k < kWarmUp + kCounted; ++k) {
    allocations = 0;
    counting = true;
    serial.receive(lines[static_cast<std::size_t>(k)]);
    counting = false;
    if (k % 10 != 0)
      sampleAllocations += allocations;
    else if (allocations > 0)
      analysesThatAllocated.push_back(k);
  }

  EXPECT_EQ(sampleAllocations, 0) << "over " << kCounted * 9 / 10 << " sample lines";
  // Octaves from 128 to 4096 samples.
  EXPECT_LE(analysesThatAllocated.size(), 6u) << ::testing::PrintToString(analysesThatAllocated);
  EXPECT_EQ(c.measurement().sampleCount(), kWarmUp + kCounted - 1);
  EXPECT_EQ(dataFile().count("\r\n") - linesBefore, kCounted);  // one appended line per sample
  EXPECT_EQ(c.status(), "Running...");
}

}  // namespace
}  // namespace tessarin::test

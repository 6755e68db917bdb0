#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "analysis/TwoThreads.h"

namespace tessarin::analysis {
namespace {

TEST(TwoThreads, DoesEveryIndexOnce) {
  for (const std::int64_t count : {0, 1, 2, 9}) {
    std::vector<int> done(static_cast<std::size_t>(count));
    onTwoThreads(count, [&done](std::int64_t k) { ++done[static_cast<std::size_t>(k)]; });
    EXPECT_EQ(done, std::vector<int>(done.size(), 1)) << count;
  }
}

TEST(TwoThreads, RethrowsWhatAnIndexThrows) {
  EXPECT_THROW(onTwoThreads(5,
                            [](std::int64_t k) {
                              if (k == 3) throw std::runtime_error("no memory left");
                            }),
               std::runtime_error);
}

}  // namespace
}  // namespace tessarin::analysis

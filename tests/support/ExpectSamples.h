#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

namespace tessarin::test {

// The samples are those expected, one for one, a gap (NaN) where a gap is expected.
inline void expectSamples(std::span<const double> actual, const std::vector<double>& expected,
                          const std::string& label) {
  ASSERT_EQ(actual.size(), expected.size()) << label;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (std::isnan(expected[i]))
      EXPECT_TRUE(std::isnan(actual[i])) << label << ", sample " << i;
    else
      EXPECT_EQ(actual[i], expected[i]) << label << ", sample " << i;
  }
}

}  // namespace tessarin::test

#include "stability/MaximumTimeIntervalError.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "stability/Accumulators.h"

namespace tessarin::stability {

namespace {

// The largest peak-to-peak phase over the windows without a gap, and how many there were.
struct Worst {
  double value = 0;
  std::int64_t windows = 0;

  void take(double high, double low) {
    value = std::max(value, high - low);
    ++windows;
  }
};

// The highest and lowest sample of x[from .. to - 1] seen so far, scanned either way.
struct Extremes {
  double high = -std::numeric_limits<double>::infinity();
  double low = std::numeric_limits<double>::infinity();

  void take(double value) {
    high = std::max(high, value);
    low = std::min(low, value);
  }
};

// The extremes of x[b + r .. b + length - 1] for r = 0 .. length - 1, scanned backwards.
void fillSuffixes(const double* x, std::int64_t b, std::int64_t length,
                  std::vector<Extremes>& suffix) {
  Extremes extremes{x[b + length - 1], x[b + length - 1]};
  for (std::int64_t r = length - 1; r >= 0; --r) {
    extremes.take(x[b + r]);
    suffix[static_cast<std::size_t>(r)] = extremes;
  }
}

// Windows of w <= n samples in blocks of w: those starting in block b end in block b + 1.
Worst windowsAsLongAsBlocks(const double* x, std::int64_t n, std::int64_t w) {
  std::vector<double> suffixHigh(static_cast<std::size_t>(w));
  std::vector<double> suffixLow(suffixHigh.size());
  Worst worst;
  std::int64_t lastGap = -1;
  for (std::int64_t b = 0; b + w <= n; b += w) {
    double high = x[b + w - 1], low = high;
    for (std::int64_t r = w - 1; r >= 0; --r) {
      high = std::max(high, x[b + r]);
      low = std::min(low, x[b + r]);
      suffixHigh[static_cast<std::size_t>(r)] = high;
      suffixLow[static_cast<std::size_t>(r)] = low;
      if (std::isnan(x[b + r])) lastGap = std::max(lastGap, b + r);
    }
    if (lastGap < b) worst.take(suffixHigh[0], suffixLow[0]);
    const std::int64_t end = std::min(b + 2 * w - 1, n);
    if (end <= b + w) continue;  // the block ends the series: no window reaches past it
    double prefixHigh = x[b + w], prefixLow = prefixHigh;
    for (std::int64_t k = b + w; k < end; ++k) {
      prefixHigh = std::max(prefixHigh, x[k]);
      prefixLow = std::min(prefixLow, x[k]);
      if (std::isnan(x[k])) lastGap = k;
      const std::int64_t j = k - w + 1;
      if (lastGap >= j) continue;
      const auto r = static_cast<std::size_t>(j - b);
      worst.take(std::max(suffixHigh[r], prefixHigh), std::min(suffixLow[r], prefixLow));
    }
  }
  return worst;
}

// The extremes of the whole blocks from .. to - 1 together.
Extremes extremesOfBlocks(const std::vector<Extremes>& whole, std::int64_t from, std::int64_t to) {
  Extremes extremes;
  for (std::int64_t k = from; k < to; ++k) {
    extremes.take(whole[static_cast<std::size_t>(k)].high);
    extremes.take(whole[static_cast<std::size_t>(k)].low);
  }
  return extremes;
}

// Windows of w > c samples cut at blocks of c: window j .. e = j + w - 1 is the suffix of block
// j / c, the whole blocks after it before block e / c, and the prefix of that one up to e. The
// windows are taken in runs over which both blocks stay the same.
Worst windowsOverBlocks(const double* x, std::int64_t n, std::int64_t w, std::int64_t c) {
  std::vector<Extremes> whole(static_cast<std::size_t>(n / c));
  for (std::size_t k = 0; k < whole.size(); ++k)
    for (std::int64_t i = 0; i < c; ++i) whole[k].take(x[static_cast<std::int64_t>(k) * c + i]);
  std::vector<Extremes> suffix(static_cast<std::size_t>(c));
  Worst worst;
  std::int64_t lastGap = -1;
  for (std::int64_t k = 0; k < w - 1; ++k)
    if (std::isnan(x[k])) lastGap = k;
  std::int64_t prefixBlock = -1;
  Extremes prefix;
  const std::int64_t windows = n - w + 1;
  for (std::int64_t first = 0; first * c < windows; ++first) {
    fillSuffixes(x, first * c, c, suffix);
    const std::int64_t blockEnd = std::min((first + 1) * c, windows);
    for (std::int64_t j = first * c; j < blockEnd;) {
      const std::int64_t last = (j + w - 1) / c;
      const std::int64_t runEnd = std::min(blockEnd, (last + 1) * c - w + 1);
      if (last != prefixBlock) {
        prefix = {};
        for (std::int64_t k = last * c; k < j + w - 1; ++k) prefix.take(x[k]);
        prefixBlock = last;
      }
      const Extremes between = extremesOfBlocks(whole, first + 1, last);
      for (; j < runEnd; ++j) {
        const std::int64_t e = j + w - 1;
        if (std::isnan(x[e])) lastGap = e;
        prefix.take(x[e]);
        if (lastGap >= j) continue;
        const Extremes& start = suffix[static_cast<std::size_t>(j - first * c)];
        worst.take(std::max(std::max(start.high, between.high), prefix.high),
                   std::min(std::min(start.low, between.low), prefix.low));
      }
    }
  }
  return worst;
}

// Windows starting together: the extremes of their windows and of those the longest window
// reaches past them, 2 x 160 KiB, stay in the second-level cache from one factor to the next.
constexpr std::int64_t kDoubledStarts = std::int64_t{1} << 14;

// The largest peak-to-peak phase over the windows of 2^k + 1 samples of the gap-free series, for
// every k up to that of `longest`, the windows taken kDoubledStarts starts at a time.
std::vector<double> doubledWorst(std::span<const double> phase, int longest) {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  std::vector<double> worst;
  std::vector<double> high(static_cast<std::size_t>(kDoubledStarts + longest));
  std::vector<double> low(high.size());
  for (std::int64_t span = 1; span <= longest; span *= 2) worst.push_back(0);
  for (std::int64_t first = 0; first + 1 < n; first += kDoubledStarts) {
    const std::int64_t length = std::min(kDoubledStarts + longest, n - first);
    std::copy(x + first, x + first + length, high.begin());
    std::copy(x + first, x + first + length, low.begin());
    // Windows of span + 1 samples from those of span / 2 + 1 (of single samples for span 1); each
    // is made in place from the window at i and the one that starts where it ends.
    std::size_t level = 0;
    for (std::int64_t span = 1; span <= longest && span < length; span *= 2, ++level) {
      const auto half = static_cast<std::size_t>(std::max<std::int64_t>(1, span / 2));
      const auto windows = static_cast<std::size_t>(length - span);
      const std::size_t starts = std::min(windows, static_cast<std::size_t>(kDoubledStarts));
      double* h = high.data();
      double* l = low.data();
      double largest = worst[level];
      for (std::size_t i = 0; i < starts; ++i) {
        h[i] = std::max(h[i], h[i + half]);
        l[i] = std::min(l[i], l[i + half]);
        largest = std::max(largest, h[i] - l[i]);
      }
      worst[level] = largest;
      for (std::size_t i = starts; i < windows; ++i) {
        h[i] = std::max(h[i], h[i + half]);
        l[i] = std::min(l[i], l[i + half]);
      }
    }
  }
  return worst;
}

// The blocks a window longer than the doubled ones is cut at.
constexpr std::int64_t kWideBlock = kLongestDoubledFactor;

// The extremes of every block of kWideBlock samples, the last perhaps shorter.
std::vector<Extremes> blockExtremes(const double* x, std::int64_t n) {
  std::vector<Extremes> blocks(static_cast<std::size_t>((n + kWideBlock - 1) / kWideBlock));
  for (std::int64_t k = 0; k < n; ++k) blocks[static_cast<std::size_t>(k / kWideBlock)].take(x[k]);
  return blocks;
}

// The largest peak-to-peak phase over the windows of m + 1 samples of the gap-free series, m a
// multiple of kWideBlock at least twice it, or `seed` where that is larger; runs[a] holds the
// extremes of blocks a to a + m / kWideBlock. A window starting in block a ends in the block at
// a + m / kWideBlock: its extremes are those of the suffix of the one, the whole blocks between
// and the prefix of the other. The windows of a block whose run spans no more than the worst so
// far are passed over: none of them can be worse.
double wideWorst(const double* x, std::int64_t n, std::int64_t m,
                 const std::vector<Extremes>& blocks, const std::vector<Extremes>& runs,
                 double seed) {
  const std::int64_t across = m / kWideBlock;
  const std::int64_t windows = n - m;
  std::vector<Extremes> suffix(static_cast<std::size_t>(kWideBlock));
  std::vector<Extremes> prefix(suffix.size());
  double worst = seed;
  for (std::int64_t a = 0; a * kWideBlock < windows; ++a) {
    const Extremes& reach = runs[static_cast<std::size_t>(a)];
    if (reach.high - reach.low <= worst) continue;
    const std::int64_t first = a * kWideBlock;
    const std::int64_t last = (a + across) * kWideBlock;
    const std::int64_t starts = std::min(kWideBlock, windows - first);
    Extremes between;
    for (std::int64_t b = a + 1; b < a + across; ++b) {
      between.take(blocks[static_cast<std::size_t>(b)].high);
      between.take(blocks[static_cast<std::size_t>(b)].low);
    }
    fillSuffixes(x, first, kWideBlock, suffix);
    Extremes upTo;
    for (std::int64_t r = 0; r < starts; ++r) {
      upTo.take(x[last + r]);
      prefix[static_cast<std::size_t>(r)] = upTo;
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(starts); ++r) {
      const double high = std::max(std::max(suffix[r].high, between.high), prefix[r].high);
      const double low = std::min(std::min(suffix[r].low, between.low), prefix[r].low);
      worst = std::max(worst, high - low);
    }
  }
  return worst;
}

}  // namespace

bool isDoubledFactor(int factor) { return factor >= 1 && (factor & (factor - 1)) == 0; }

std::vector<Estimate> maximumTimeIntervalErrors(std::span<const double> phase, double tau0,
                                                std::span<const int> factors) {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  const bool gapFree = std::none_of(x, x + n, [](double value) { return std::isnan(value); });
  std::vector<Estimate> estimates(factors.size());
  int longestDoubled = 0;
  for (std::size_t k = 0; k < factors.size(); ++k) {
    if (!gapFree || !isDoubledFactor(factors[k]))
      estimates[k] = maximumTimeIntervalError(phase, tau0, factors[k]);
    else if (factors[k] <= kLongestDoubledFactor)
      longestDoubled = std::max(longestDoubled, factors[k]);
  }
  if (!gapFree) return estimates;
  const std::vector<double> doubled =
      longestDoubled > 0 ? doubledWorst(phase, longestDoubled) : std::vector<double>{};
  // Every window of a factor lies within one of any longer factor's: the worst of the one is a
  // start for the other's.
  double worstSoFar = 0;
  std::vector<Extremes> blocks;
  std::vector<Extremes> runs;
  std::int64_t runSpan = 0;  // the blocks in each run, less one
  for (std::size_t k = 0; k < factors.size(); ++k) {
    const std::int64_t m = factors[k];
    if (!isDoubledFactor(factors[k]) || m >= n) {
      if (isDoubledFactor(factors[k])) estimates[k] = estimateFrom(m, tau0, 0, 0);
      continue;
    }
    if (m <= kLongestDoubledFactor) {
      worstSoFar = doubled[static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(m)))];
    } else {
      if (blocks.empty()) {
        blocks = blockExtremes(x, n);
        runs = blocks;
      }
      // Runs of 2 s + 1 blocks from those of s + 1 that share their middle block (of 2 from
      // single blocks), until they reach as far as the factor's windows.
      for (; runSpan < m / kWideBlock; runSpan = std::max<std::int64_t>(1, 2 * runSpan)) {
        const auto step = static_cast<std::size_t>(std::max<std::int64_t>(1, runSpan));
        const std::size_t reaching = step + static_cast<std::size_t>(runSpan);
        for (std::size_t a = 0; a + reaching < runs.size(); ++a) {
          runs[a].take(runs[a + step].high);
          runs[a].take(runs[a + step].low);
        }
      }
      worstSoFar = wideWorst(x, n, m, blocks, runs, worstSoFar);
    }
    estimates[k] = estimateFrom(m, tau0, n - m, worstSoFar);
  }
  return estimates;
}

// A NaN makes the extremes of the scans that meet it meaningless, but only for windows that hold
// it, and those are left out by the last gap seen.
Estimate maximumTimeIntervalError(std::span<const double> phase, double tau0, int factor,
                                  std::int64_t longestBlock) {
  const std::int64_t n = std::ssize(phase);
  const std::int64_t w = std::int64_t{factor} + 1;
  Worst worst;
  if (w <= std::min(n, longestBlock))
    worst = windowsAsLongAsBlocks(phase.data(), n, w);
  else if (w <= n)
    worst = windowsOverBlocks(phase.data(), n, w, longestBlock);
  return estimateFrom(factor, tau0, worst.windows, worst.value);
}

}  // namespace tessarin::stability

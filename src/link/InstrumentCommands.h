#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessarin::link {

// The instrument's reference: readings count its periods.
inline constexpr double kReferenceHz = 120000000.0;

// The commands without a parameter; InstrumentLink::send puts CR LF after each.

// The first command of an initialization, and the last one before the console ends.
inline constexpr std::string_view kMarkOff = "MK0";
// Sent once per initialization, after the words of the accepted DUT frequency.
inline constexpr std::string_view kMarkOn = "MK1";
// Asks for one count reply: "CB" and the DUT's count in units of 5 Hz.
inline constexpr std::string_view kCountRequest = "CB9";
inline constexpr std::string_view kNonFilteredMode = "FN0";
inline constexpr std::string_view kFilteredMode = "FN1";
// Starts the sample stream: one reading per interval (tauCommand sets it) until it is stopped.
inline constexpr std::string_view kStartStream = "PH05";
inline constexpr std::string_view kStopStream = "PH00";
// Asks for the XTAL filter's lock state, answered by a lock reply (FilterLock).
inline constexpr std::string_view kLockRequest = "CL9";

// A reading, the sample stream's line: eight hexadecimal digits (readingCounts). A count reply is
// longer.
inline constexpr std::size_t kReadingLength = 8;

// The instrument's two synthesizer words for one frequency, and what they realize.
struct FrequencyWords {
  std::int32_t n1 = 0;        // coarse word, upper 16 bits of "DA"
  std::int32_t n2 = 0;        // fine word, "DB" carries it times 16
  std::string coarseCommand;  // "DA" + 8 hex digits
  std::string fineCommand;    // "DB" + 8 hex digits
  double coarseFreq = 0;      // Hz realized by the coarse word
  double fineFreq = 0;        // Hz realized by the fine word (before the division by 32)
};

// Encodes frequency `f` (Hz) into the coarse and fine synthesizer words.
FrequencyWords frequencyWordsFor(double f);

// Frequency the pair of words programs: coarse + fine / 32 + 1000 Hz.
double programmedFrequency(double coarseFreq, double fineFreq);

// Upper-case hexadecimal text without leading zeros; a negative value gives its eight-digit
// two's-complement form.
std::string hexText(std::int32_t value);

// The first eight characters of `s` as a signed 32-bit value: characters 1-4 give the upper and
// 5-8 the lower 16 bits, each group read up to its first non-hexadecimal character. Fewer than
// eight characters give 0.
std::int32_t readingCounts(std::string_view s);

// "TA" and the interval in whole milliseconds (ties to even) as eight hexadecimal digits.
std::string tauCommand(double milliseconds);

}  // namespace tessarin::link

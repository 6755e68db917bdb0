#pragma once

#include <QString>
#include <optional>

namespace tessarin::link {

// A frequency as the DUT windows show it, "0,000,000.00000": at least seven integer digits,
// grouped by threes with ",", exactly five decimals.
QString formatGroupedFrequency(double hz);

// A frequency as "0000.00000": at least four integer digits, no grouping, exactly five decimals.
QString formatFrequency4(double hz);

// The nominal DUT frequency typed in the "Nominal DUT" box ("10,000,000.00000"; grouping commas
// allowed), rounded to five decimals; nothing when the text is not a number.
std::optional<double> nominalFrequencyFromText(const QString& text);

}  // namespace tessarin::link

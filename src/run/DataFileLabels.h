#pragma once

#include <string_view>

namespace tessarin::run {

// The labels of a run's header in the .DAT file. The console writes them and the analyser reads
// them back from this one table, so what is read is what is written.
constexpr std::string_view kDateLabel = "\tDate  ";
constexpr std::string_view kTimeLabel = "\tTime  ";
constexpr std::string_view kDutFrequencyLabel = "DUT Frequency :";
constexpr std::string_view kDutFrequencyUnit = "Hz";
constexpr std::string_view kTauLabel = "Tau :";
constexpr std::string_view kTauUnit = "ms";
constexpr std::string_view kModeLabel = "Mode :";
constexpr std::string_view kFilteredMode = "Filtered";
constexpr std::string_view kNonFilteredMode = "Non-Filtered";
constexpr std::string_view kDataLabel = "Data :";
constexpr std::string_view kFrequencyData = "Frequency Data";
constexpr std::string_view kPhaseData = "Phase Data";

}  // namespace tessarin::run

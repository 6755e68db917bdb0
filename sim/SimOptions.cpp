#include "SimOptions.h"

#include <charconv>
#include <cmath>

const char* const kSimUsage =
    "usage: tessarin-sim [--link PATH | --device PATH] [--dut-hz F] [--white-phase S]\n"
    "                    [--white-freq Y] [--seed N] [--speedup K] [--lock-after S] [--log FILE]\n"
    "Simulates a Tessarin / RS instrument on a new pseudo-terminal (its path is printed on\n"
    "standard output) or on an existing serial device.\n"
    "  --link PATH       also make PATH a symbolic link to the pseudo-terminal (removed at exit)\n"
    "  --device PATH     serve this serial device (9600 baud, 8N1) instead of a pseudo-terminal\n"
    "  --dut-hz F        frequency of the device under test, Hz (default 10000000.0)\n"
    "  --white-phase S   RMS white phase noise of the DUT's time error, seconds (default 0)\n"
    "  --white-freq Y    RMS white fractional frequency noise per sample interval (default 0)\n"
    "  --seed N          seed of the noise generator (default 1)\n"
    "  --speedup K       run the instrument's clock K times faster than real time (default 1)\n"
    "  --lock-after S    XTAL filter lock time after a new frequency word, instrument seconds\n"
    "                    (default 3)\n"
    "  --log FILE        append the command log to FILE instead of standard error\n";

namespace {

bool readNumber(const std::string& text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool readNumber(const std::string& text, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
  SimOptions options;
  InstrumentOptions& instrument = options.instrument;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      error = "unknown option or missing value: " + name;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    bool good = true;
    if (name == "--link") {
      options.linkPath = value;
    } else if (name == "--device") {
      options.devicePath = value;
    } else if (name == "--log") {
      options.logPath = value;
    } else if (name == "--dut-hz") {
      good = readNumber(value, instrument.dutHz) && instrument.dutHz > 0;
    } else if (name == "--white-phase") {
      good = readNumber(value, instrument.whitePhaseSeconds) && instrument.whitePhaseSeconds >= 0;
    } else if (name == "--white-freq") {
      good = readNumber(value, instrument.whiteFrequency) && instrument.whiteFrequency >= 0;
    } else if (name == "--seed") {
      good = readNumber(value, instrument.seed);
    } else if (name == "--speedup") {
      good = readNumber(value, instrument.speedup) && instrument.speedup > 0;
    } else if (name == "--lock-after") {
      good = readNumber(value, instrument.lockAfterSeconds) && instrument.lockAfterSeconds >= 0;
    } else {
      error = "unknown option: " + name;
      return std::nullopt;
    }
    if (!good) {
      error = "bad value for " + name + ": " + value;
      return std::nullopt;
    }
  }
  if (!options.linkPath.empty() && !options.devicePath.empty()) {
    error = "--link and --device exclude each other";
    return std::nullopt;
  }
  return options;
}

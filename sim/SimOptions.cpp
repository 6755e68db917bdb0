#include "SimOptions.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace tessarin::sim {

const char* const kSimUsage =
    "Usage: tessarin-sim [OPTION]...\n"
    "Simulates a Tessarin / RS phase comparator and the oscillator it measures on a new\n"
    "pseudo-terminal (its path is printed on standard output) or on an existing serial device,\n"
    "and serves until SIGINT or SIGTERM.\n"
    "\n"
    "Line:\n"
    "  --link PATH       also make PATH a symbolic link to the pseudo-terminal (removed at exit)\n"
    "  --device PATH     serve this serial device (9600 baud, 8N1) instead of a pseudo-terminal\n"
    "  --speedup K       run the instrument's clock K times faster than real time (default 1)\n"
    "  --lock-after S    XTAL filter lock time after a new frequency word, instrument seconds\n"
    "                    (default 3)\n"
    "  --log FILE        append the log (below) to FILE instead of standard error\n"
    "\n"
    "Oscillator under test:\n"
    "  --dut-hz F        nominal frequency, Hz (default 10000000)\n"
    "  --offset Y        constant fractional frequency offset (default 0)\n"
    "  --drift D         linear fractional frequency drift per day (default 0)\n"
    "  --wpm A           white phase noise         } each given as the Allan deviation\n"
    "  --fpm A           flicker phase noise       } that noise alone gives at tau = 1 s\n"
    "  --wfm A           white frequency noise     } (default 0: none)\n"
    "  --ffm A           flicker frequency noise   }\n"
    "  --rwfm A          random-walk frequency noise }\n"
    "  --white-phase S   white phase noise of RMS S seconds (the same as --wpm S*sqrt(3))\n"
    "  --white-freq Y    the same as --wfm Y\n"
    "  --seed N          seed of the noise generator (default 1); the same seed, the same noise\n"
    "  White phase noise is drawn afresh for each sample, white frequency noise is integrated,\n"
    "  random-walk frequency noise is the exact sampled integral of a Wiener process. Flicker\n"
    "  noise is a sum of 17 first-order (relaxation) processes with corner frequencies two per\n"
    "  decade (the Lorentzian-sum method of Corsini and Saletti), calibrated exactly against the\n"
    "  Allan variance of that sum; it holds from tau0 to about 4e6 tau0. Above tau0 = 1 s a level\n"
    "  is taken at tau0 along the noise's own slope.\n"
    "\n"
    "Faults, each once, in the first stream (from a \"PH05\") that reaches sample line n (the\n"
    "first line after \"PH05\" is 1; the console's own initialization streams up to 21 lines):\n"
    "  --fault KIND@n[:ARG]  repeatable; KIND and ARG:\n"
    "    jump@n[:C]        line n is off by C reference counts (default 6000000, ten times the\n"
    "                      console's rejection threshold of 600000); the console drops lines n\n"
    "                      and n+1\n"
    "    garbage@n[:B]     B bytes (default 48) of terminal escape sequences and binary (no CR\n"
    "                      or LF) then CR LF, in place of line n\n"
    "    badlength@n[:L]   lines n to n+L-1 (default L = 1) have 7, 9, 7, ... digits\n"
    "    cr@n              line n ends in CR without LF, so the console reads line n+1 glued to\n"
    "                      it (16 digits) and drops it\n"
    "    burst@n[:N]       lines n to n+N-1 (default N = 100) are held back and sent together\n"
    "                      when line n+N-1 is due\n"
    "    silence@n[:S]     no sample lines for S instrument seconds from line n on (default 30);\n"
    "                      the lines of that time are lost, the numbering runs on, commands are\n"
    "                      still answered\n"
    "    vanish@n[:S]      at line n the pseudo-terminal closes and the --link symlink goes; "
    "after\n"
    "                      S instrument seconds (default 5) a new pseudo-terminal appears at the\n"
    "                      --link path (a --device is reopened). The instrument comes back as at\n"
    "                      power-on: no stream, no frequency words, filter off, tau 1 s; the\n"
    "                      oscillator runs on.\n"
    "  --faults FILE     faults from FILE, one KIND@n[:ARG] per line; # starts a comment\n"
    "\n"
    "Log, one line per event, flushed at once; T is seconds since start on the wall clock:\n"
    "  T < CMD [> REPLY]              a command received, and the reply line it got\n"
    "  T > n SENT t=TI x=X            sample line n of the stream: SENT is every byte sent for "
    "it,\n"
    "                                 line ending included, with \\r \\n \\\\ and \\xHH escapes "
    "for\n"
    "                                 anything else outside ! to ~; TI the instrument time, s;\n"
    "                                 X the oscillator's time error then, s\n"
    "  T ! FAULT                      a fault as it happens, written as in --fault (an\n"
    "                                 argument at its default left out)\n"
    "  T # TEXT                       the line opened, closed, gone or back; output dropped\n"
    "\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Example:\n"
    "  tessarin-sim --link /tmp/tessarin-com1 --dut-hz 10000012.34567 --wfm 1e-11 --ffm 2e-12 \\\n"
    "      --speedup 10 --fault jump@120 --fault vanish@300:20 --log /tmp/tessarin-sim.log\n";

namespace {

bool readNumber(const std::string& text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
         std::isfinite(value);
}

bool readNumber(const std::string& text, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

void setNoise(InstrumentOptions& instrument, NoiseType type, double level) {
  std::erase_if(instrument.noise, [type](const NoiseLevel& noise) { return noise.type == type; });
  if (level > 0) instrument.noise.push_back({type, level});
}

bool readFaultFile(const std::string& path, std::vector<Fault>& faults, std::string& error) {
  std::ifstream file(path);
  std::stringstream text;
  if (!(text << file.rdbuf())) {
    error = "cannot read the fault file " + path;
    return false;
  }
  const auto read = parseFaultList(text.str(), error);
  if (!read) {
    error = path + ": " + error;
    return false;
  }
  faults.insert(faults.end(), read->begin(), read->end());
  return true;
}

}  // namespace

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
  SimOptions options;
  InstrumentOptions& instrument = options.instrument;
  // Each option's reader; false means a bad value (`error` may say more).
  using Reader = std::function<bool(const std::string&)>;
  const auto level = [&](NoiseType type, double scale) {
    return [&instrument, type, scale](const std::string& value) {
      double deviation = 0;
      if (!readNumber(value, deviation) || deviation < 0) return false;
      setNoise(instrument, type, deviation * scale);
      return true;
    };
  };
  const auto positive = [](double& target, bool zeroAllowed) {
    return [&target, zeroAllowed](const std::string& value) {
      double number = 0;
      if (!readNumber(value, number) || number < 0 || (number == 0 && !zeroAllowed)) return false;
      target = number;
      return true;
    };
  };
  const auto text = [](std::string& target) {
    return [&target](const std::string& value) {
      target = value;
      return !value.empty();
    };
  };
  const std::map<std::string, Reader> readers{
      {"--link", text(options.linkPath)},
      {"--device", text(options.devicePath)},
      {"--log", text(options.logPath)},
      {"--dut-hz", positive(instrument.dutHz, false)},
      {"--speedup", positive(instrument.speedup, false)},
      {"--lock-after", positive(instrument.lockAfterSeconds, true)},
      {"--offset", [&](const std::string& v) { return readNumber(v, instrument.frequencyOffset); }},
      {"--drift", [&](const std::string& v) { return readNumber(v, instrument.driftPerDay); }},
      {"--seed", [&](const std::string& v) { return readNumber(v, instrument.seed); }},
      {"--wpm", level(NoiseType::WhitePhase, 1.0)},
      {"--fpm", level(NoiseType::FlickerPhase, 1.0)},
      {"--wfm", level(NoiseType::WhiteFrequency, 1.0)},
      {"--ffm", level(NoiseType::FlickerFrequency, 1.0)},
      {"--rwfm", level(NoiseType::RandomWalkFrequency, 1.0)},
      {"--white-phase", level(NoiseType::WhitePhase, std::sqrt(3.0))},
      {"--white-freq", level(NoiseType::WhiteFrequency, 1.0)},
      {"--fault",
       [&](const std::string& v) {
         const auto fault = parseFault(v, error);
         if (fault) instrument.faults.push_back(*fault);
         return fault.has_value();
       }},
      {"--faults",
       [&](const std::string& v) { return readFaultFile(v, instrument.faults, error); }},
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    if (name == "--help") {
      options.showHelp = true;
      return options;
    }
    if (name == "--version") {
      options.showVersion = true;
      return options;
    }
    std::optional<std::string> value;
    if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.erase(equals);
    }
    const auto reader = readers.find(name);
    if (reader == readers.end()) {
      error = "unknown option " + name + " (--help lists them)";
      return std::nullopt;
    }
    if (!value && i + 1 >= args.size()) {
      error = name + " needs a value";
      return std::nullopt;
    }
    if (!value) value = args[++i];
    error.clear();
    if (!reader->second(*value)) {
      if (error.empty()) error = "bad value for " + name + ": " + *value;
      return std::nullopt;
    }
  }
  if (!options.linkPath.empty() && !options.devicePath.empty()) {
    error = "--link and --device exclude each other";
    return std::nullopt;
  }
  return options;
}

}  // namespace tessarin::sim

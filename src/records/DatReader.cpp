#include "records/DatReader.h"

#include <cmath>
#include <limits>
#include <sstream>
#include <utility>

#include "records/InputLines.h"
#include "run/DataFileLabels.h"

namespace tessarin::records {

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// "<prefix> <number> <unit>" with any spaces between.
std::optional<double> labelledNumber(std::string_view text, std::string_view prefix,
                                     std::string_view unit) {
  text = trimmed(text);
  if (!text.starts_with(prefix) || !text.ends_with(unit)) return std::nullopt;
  text.remove_prefix(prefix.size());
  text.remove_suffix(unit.size());
  return decimalNumber(trimmed(text));
}

// What a sample line says: its value (NaN for the console's " NaN "), or nothing when the line is
// not of the sample line's form. The trailing space tells a whole line from one cut short right
// after a digit.
std::optional<double> sampleValue(std::string_view line) {
  if (line.size() < 3 || line.back() != ' ' || (line.front() != ' ' && line.front() != '-'))
    return std::nullopt;
  const std::string_view magnitude = line.substr(1, line.size() - 2);
  const double sign = line.front() == '-' ? -1 : 1;
  if (magnitude == "NaN") return kGap;
  if (magnitude == "Inf") return sign * std::numeric_limits<double>::infinity();
  const auto value = decimalNumber(magnitude);
  if (!value) return std::nullopt;
  return sign * *value;
}

class DatParser {
 public:
  explicit DatParser(InputFile& file) : file_(file) {}

  void take(std::int64_t number, std::string_view line, LineEnd end) {
    if (!file_.unusable.empty()) return;
    if (end == LineEnd::TooLong) {
      damage(number, line, "line longer than 4096 characters", true);
      return;
    }
    if (end == LineEnd::EndOfInput) {
      damage(number, line, "line cut short (no line end)", true);
      return;
    }
    if (line.empty()) {
      if (section_ == Section::Samples && !std::exchange(afterDataLine_, false))
        if (pendingEmpty_++ == 0) firstPendingEmpty_ = number;
      return;
    }
    afterDataLine_ = false;
    if (const std::size_t date = line.find(run::kDateLabel); date != std::string_view::npos) {
      if (const std::size_t time = line.find(run::kTimeLabel, date);
          time != std::string_view::npos) {
        startRun(number,
                 line.substr(date + run::kDateLabel.size(), time - date - run::kDateLabel.size()),
                 line.substr(time + run::kTimeLabel.size()));
        return;
      }
    }
    if (section_ == Section::Header && takeHeaderLine(number, line)) return;
    if (const auto value = sampleValue(line)) {
      if (section_ == Section::BeforeFirstRun) {
        damage(number, line, "sample line before any run header", false);
        return;
      }
      section_ = Section::Samples;
      placeEmptyLines();
      if (std::isinf(*value)) {
        damage(number, line, "infinite sample value", true);
        return;
      }
      if (std::abs(*value) > kLargestSample) {
        damage(number, line, "sample beyond 1e100, where the statistics would overflow", true);
        return;
      }
      noteSampleLine(file_.runs.back(), number);
      file_.runs.back().samples.push_back(*value);
      return;
    }
    damage(number, line, "not a sample line", true);
  }

 private:
  enum class Section { BeforeFirstRun, Header, Samples };

  void startRun(std::int64_t number, std::string_view date, std::string_view time) {
    pendingEmpty_ = 0;  // the empty lines that precede every header
    RecordedRun run;
    run.headerLine = number;
    run.date = printable(trimmed(date));
    run.time = printable(trimmed(time));
    file_.runs.push_back(std::move(run));
    section_ = Section::Header;
  }

  // The header's DUT frequency and tau, mode and data type lines; false for any other line.
  bool takeHeaderLine(std::int64_t number, std::string_view line) {
    RecordedRun& run = file_.runs.back();
    if (line.starts_with(run::kDutFrequencyLabel)) {
      const std::size_t tab = line.find('\t');
      const auto hz =
          labelledNumber(line.substr(0, tab), run::kDutFrequencyLabel, run::kDutFrequencyUnit);
      const auto ms = tab == std::string_view::npos
                          ? std::nullopt
                          : labelledNumber(line.substr(tab + 1), run::kTauLabel, run::kTauUnit);
      if (hz) run.dutHz = hz;
      if (ms && *ms > 0 && !usableTau0(*ms / 1000)) {
        std::ostringstream reason;
        reason << "header tau " << *ms << " ms is outside 1e-9 s ... 1e9 s";
        file_.unusable = file_.path + ':' + std::to_string(number) + ": " + reason.str();
      } else if (ms && *ms > 0) {
        run.tauSeconds = *ms / 1000;
      }
      if (!hz || !ms || *ms <= 0) damage(number, line, "unreadable DUT frequency or tau", false);
      return true;
    }
    if (line.starts_with(run::kModeLabel)) {
      const std::string_view mode = trimmed(line.substr(run::kModeLabel.size()));
      if (mode == run::kFilteredMode || mode == run::kNonFilteredMode)
        run.mode = mode;
      else
        damage(number, line, "unknown mode", false);
      return true;
    }
    if (line.starts_with(run::kDataLabel)) {
      const std::string_view data = trimmed(line.substr(run::kDataLabel.size()));
      if (data == run::kFrequencyData)
        run.quantity = run::Quantity::Frequency;
      else if (data == run::kPhaseData)
        run.quantity = run::Quantity::Phase;
      else
        damage(number, line, "unknown data type", false);
      section_ = Section::Samples;
      afterDataLine_ = true;
      return true;
    }
    return false;
  }

  // The console writes no empty line among a run's samples: one there stands for a lost sample.
  void placeEmptyLines() {
    const std::int64_t end = firstPendingEmpty_ + std::exchange(pendingEmpty_, 0);
    for (std::int64_t number = firstPendingEmpty_; number < end; ++number)
      damage(number, {}, "empty line", true);
  }

  void damage(std::int64_t number, std::string_view line, const char* reason, bool asSample) {
    const bool gap = asSample && section_ == Section::Samples;
    if (gap) {
      placeEmptyLines();
      noteSampleLine(file_.runs.back(), number);
      file_.runs.back().samples.push_back(kGap);
    }
    noteDamage(file_, number, static_cast<int>(file_.runs.size()), gap, reason, line);
  }

  InputFile& file_;
  Section section_ = Section::BeforeFirstRun;
  // The empty lines seen since the last sample: one block of them, as every other line ends it.
  std::int64_t firstPendingEmpty_ = 0;
  std::int64_t pendingEmpty_ = 0;
  bool afterDataLine_ = false;  // the header ends in an empty line after its data type
};

}  // namespace

InputFile parseDatText(std::string path, std::string_view text) {
  InputFile file;
  file.path = std::move(path);
  DatParser parser(file);
  LineSplitter lines([&parser](std::int64_t number, std::string_view line, LineEnd end) {
    parser.take(number, line, end);
  });
  lines.feed(text);
  lines.finish();
  if (file.unusable.empty() && !lines.refusal().empty())
    file.unusable = file.path + ": " + lines.refusal();
  return file;
}

platform::Result<InputFile> readDatFile(const QString& path, std::atomic<std::int64_t>* bytesRead) {
  InputFile file;
  file.path = path.toStdString();
  DatParser parser(file);
  const auto read = readLines(
      path,
      [&parser](std::int64_t number, std::string_view line, LineEnd end) {
        parser.take(number, line, end);
      },
      bytesRead);
  if (!read) return platform::Result<InputFile>::failure(read.reason());
  if (!file.unusable.empty())
    return platform::Result<InputFile>::failure(QString::fromStdString(file.unusable));
  if (file.runs.empty())
    return platform::Result<InputFile>::failure(
        path + ": no run header in it (for a plain column file give --phase or --freq)");
  return file;
}

}  // namespace tessarin::records

#include "commands/ReportVerify.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Messages.h"
#include "cli/Options.h"
#include "commands/AnalysedInput.h"
#include "commands/HatAnalysis.h"
#include "commands/SeveralInputs.h"
#include "platform/Result.h"
#include "records/RecordedRun.h"
#include "report/ComparisonReport.h"
#include "report/HatReport.h"
#include "report/InputFingerprint.h"
#include "report/ReportFacts.h"

namespace tessarin::analyze::commands {

namespace {

using report::buildId;
using report::fingerprintFrom;
using report::fingerprintOf;
using report::firstChange;

using cli::complain;
using cli::kUnusableInput;

constexpr double kOtherBuildTolerance = 1e-12;
// Beyond this many, the figures that differ are only counted.
constexpr int kDifferencesShown = 20;

platform::Result<QJsonObject> readRecord(const QString& path) {
  using Read = platform::Result<QJsonObject>;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Read::failure(path + ": " + file.errorString());
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
  const QJsonObject record = document.object();
  if (error.error != QJsonParseError::NoError ||
      record.value("program").toString() != QLatin1String("tessarin-analyze") ||
      !record.value("arguments").isArray() || !record.value("runs").isArray() ||
      (!record.value("input").toObject().value("path").isString() &&
       !record.value("inputs").isArray()))
    return Read::failure(path + ": not the record of a tessarin-analyze report");
  return record;
}

// The recorded arguments without the plot they wrote and without a --verify, which never stands
// in a real report's arguments: one that a tampered record carries is dropped, so that a
// verification never calls itself. The report's own --report stays, so the arguments are checked
// as they were then; nothing is written.
std::vector<std::string> argumentsAgain(const QJsonArray& recorded) {
  std::vector<std::string> arguments;
  for (qsizetype i = 0; i < recorded.size(); ++i) {
    const QString argument = recorded.at(i).toString();
    if (argument == "--plot" || argument == "--verify") {
      ++i;
      continue;
    }
    if (argument.startsWith("--plot=") || argument.startsWith("--verify=")) continue;
    arguments.push_back(argument.toStdString());
  }
  return arguments;
}

// The run figures of the analysis made again in this process, from the recorded arguments in the
// recorded folder, as the report's JSON record has them.
platform::Result<QJsonObject> analyseAgain(const QJsonObject& record) {
  using Again = platform::Result<QJsonObject>;
  const auto failing = [](const std::string& why) {
    return Again::failure("the analysis with the recorded arguments fails now: " +
                          QString::fromStdString(why));
  };
  const auto options = cli::parseOptions(argumentsAgain(record.value("arguments").toArray()));
  if (!options)
    return failing("tessarin-analyze: " + options.reason().toStdString() + " (see --help)");
  if (options.value().list || options.value().dynamic || options.value().reportPath.empty())
    return failing("its arguments make no run report");
  const QString here = QDir::currentPath();
  if (!QDir::setCurrent(record.value("workingDirectory").toString()))
    return failing("its folder " + record.value("workingDirectory").toString().toStdString() +
                   " cannot be entered");
  std::ostringstream messages;
  if (!options.value().hat.empty()) {
    const auto hat = analyseHatInput(options.value(), messages);
    const auto again = [&]() -> platform::Result<QJsonObject> {
      if (!hat)
        return Again::failure(QString::fromStdString(messages.str()).trimmed().section('\n', -1));
      return report::hatRecord(options.value(), hat->hat, hat->facts, hat->sharedPoints,
                               record.value("arguments").toVariant().toStringList());
    }();
    QDir::setCurrent(here);
    if (!again) return failing(again.reason().toStdString());
    return again;
  }
  if (options.value().inputs.size() > 1) {
    const auto compared = analyseEach(options.value(), messages);
    const auto again = [&]() -> platform::Result<QJsonObject> {
      if (!compared || compared->inputLeftOut)
        return Again::failure(QString::fromStdString(messages.str()).trimmed().section('\n', -1));
      return report::comparisonRecord(compared->forReport(),
                                      record.value("arguments").toVariant().toStringList());
    }();
    QDir::setCurrent(here);
    if (!again) return failing(again.reason().toStdString());
    return again;
  }
  const auto input = analyseInput(options.value(), messages);
  const auto facts = [&]() -> platform::Result<report::ReportFacts> {
    if (!input) {
      const QString said = QString::fromStdString(messages.str()).trimmed();
      return platform::Result<report::ReportFacts>::failure(said.section('\n', -1));
    }
    return report::collectFacts(options.value(), input->file, input->runs,
                                record.value("arguments").toVariant().toStringList());
  }();
  QDir::setCurrent(here);
  if (!facts) return failing(facts.reason().toStdString());
  return report::toJson(facts.value());
}

QString shown(const QJsonValue& value) {
  if (value.isDouble()) return QString::number(value.toDouble(), 'g', 17);
  if (value.isNull()) return QStringLiteral("none");
  if (value.isString()) return "'" + value.toString() + "'";
  if (value.isBool()) return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
  return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
}

// Compares the figures of the record with those of the analysis made again.
class Comparison {
 public:
  explicit Comparison(double tolerance) : tolerance_(tolerance) {}

  void runs(const QJsonArray& was, const QJsonArray& now) {
    if (was.size() != now.size())
      differ(QString("the report has %1 runs, the analysis now gives %2")
                 .arg(was.size())
                 .arg(now.size()));
    for (qsizetype i = 0; i < std::min(was.size(), now.size()); ++i)
      run(was.at(i).toObject(), now.at(i).toObject());
  }

  const QStringList& differences() const { return differences_; }
  int figures() const { return figures_; }

 private:
  // The lists of a run, each compared entry by entry: its rows, and the masks' verdicts.
  static constexpr const char* kLists[] = {"rows", "masks", "maskRows"};

  void run(const QJsonObject& was, const QJsonObject& now) {
    const QString label = was.value("label").toString();
    for (auto field = was.begin(); field != was.end(); ++field)
      if (field.key() == "spectrum" || field.key() == "conditioning")
        nested(label + ": " + field.key(), field.value(), now[field.key()]);
      else if (std::find(std::begin(kLists), std::end(kLists), field.key()) == std::end(kLists))
        figure(label + ": " + field.key(), field.value(), now[field.key()]);
    for (const char* list : kLists) entries(label, list, was, now);
  }

  void entries(const QString& label, const QString& list, const QJsonObject& was,
               const QJsonObject& now) {
    const QJsonArray wasRows = was.value(list).toArray();
    const QJsonArray nowRows = now.value(list).toArray();
    if (wasRows.size() != nowRows.size())
      differ(QString("%1: the report has %2 %3, the analysis now gives %4")
                 .arg(label)
                 .arg(wasRows.size())
                 .arg(list)
                 .arg(nowRows.size()));
    for (qsizetype i = 0; i < std::min(wasRows.size(), nowRows.size()); ++i) {
      const QJsonObject row = wasRows.at(i).toObject();
      QString name = label + ", ";
      if (row.contains("oscillator")) name += row.value("oscillator").toString() + " ";
      name += row.value("statistic").toString();
      if (row.contains("mask")) name += " against " + row.value("mask").toString();
      if (row.contains("m"))
        name += QString(" at m = %1 (tau %2 s)")
                    .arg(row.value("m").toInteger())
                    .arg(row.value("tau").toDouble(), 0, 'g', 6);
      const QJsonObject other = nowRows.at(i).toObject();
      for (auto field = row.begin(); field != row.end(); ++field)
        figure(name + ": " + field.key(), field.value(), other[field.key()]);
    }
  }

  // A figure, or an object or array of them (the spectrum's points and levels) figure by figure.
  void nested(const QString& name, const QJsonValue& was, const QJsonValue& now) {
    if (was.isObject() && now.isObject()) {
      const QJsonObject object = was.toObject();
      for (auto field = object.begin(); field != object.end(); ++field)
        nested(name + ": " + field.key(), field.value(), now.toObject()[field.key()]);
      return;
    }
    if (was.isArray() && now.isArray() && was.toArray().size() == now.toArray().size()) {
      for (qsizetype i = 0; i < was.toArray().size(); ++i) {
        // A conditioning step is named by what it is, the other entries by their number.
        const QString step = was.toArray().at(i).toObject().value("step").toString();
        nested(step.isEmpty() ? QString("%1 %2").arg(name).arg(i + 1) : name + ", " + step,
               was.toArray().at(i), now.toArray().at(i));
      }
      return;
    }
    if (was.isArray() && now.isArray()) {
      differ(QString("%1: the report has %2, the analysis now gives %3")
                 .arg(name)
                 .arg(was.toArray().size())
                 .arg(now.toArray().size()));
      return;
    }
    figure(name, was, now);
  }

  void figure(const QString& name, const QJsonValue& was, const QJsonValue& now) {
    ++figures_;
    if (was.isDouble() && now.isDouble()) {
      const double a = was.toDouble(), b = now.toDouble();
      if (a == b || std::abs(a - b) <= tolerance_ * std::max(std::abs(a), std::abs(b))) return;
    } else if (was == now) {
      return;
    }
    differ(name + " is " + shown(now) + ", the report says " + shown(was));
  }

  void differ(const QString& text) { differences_ << text; }

  double tolerance_;
  QStringList differences_;
  int figures_ = 0;
};

}  // namespace

int verifyReport(const std::string& recordPath, int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QString path = QString::fromStdString(recordPath);
  const auto record = readRecord(path);
  if (!record) {
    complain() << record.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  // A run report has one input file, a hat report one per pair, a comparison one per FILE.
  QJsonArray inputs = record.value().value("inputs").toArray();
  if (inputs.isEmpty()) inputs.append(record.value().value("input"));
  bool changed = false;
  for (const QJsonValue entry : inputs) {
    const QJsonObject input = entry.toObject();
    const QString inputPath = input.value("path").toString();
    const auto recorded = fingerprintFrom(input);
    if (!recorded) {
      complain() << recordPath << ": its input fingerprint is damaged\n";
      return kUnusableInput;
    }
    QFile file(inputPath);
    const auto now =
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? fingerprintOf(file) : std::nullopt;
    if (!now) {
      complain() << records::printable(inputPath.toStdString()) << ": "
                 << file.errorString().toStdString() << '\n';
      return kUnusableInput;
    }
    const QString change = firstChange(*recorded, *now);
    if (change.isEmpty()) continue;
    changed = true;
    complain() << records::printable(inputPath.toStdString()) << ':' << change.toStdString()
               << " since the report: the input's SHA-256 differs\n";
  }

  const bool sameBuild = record.value().value("build").toString() == buildId();
  Comparison comparison(sameBuild ? 0 : kOtherBuildTolerance);
  const auto again = analyseAgain(record.value());
  if (!again) {
    complain() << recordPath << ": " << records::printable(again.reason().toStdString()) << '\n';
    return kUnusableInput;
  }
  comparison.runs(record.value().value("runs").toArray(), again.value().value("runs").toArray());
  const QStringList& differences = comparison.differences();
  for (qsizetype i = 0; i < std::min<qsizetype>(differences.size(), kDifferencesShown); ++i)
    complain() << recordPath << ": " << records::printable(differences.at(i).toStdString()) << '\n';
  if (differences.size() > kDifferencesShown)
    complain() << recordPath << ": " << differences.size() - kDifferencesShown
               << " more figures differ\n";
  if (changed || !differences.isEmpty()) return kUnusableInput;
  std::cout << recordPath << ": verified: the input's SHA-256 and all " << comparison.figures()
            << " figures agree ("
            << (sameBuild ? "the same build: bit for bit" : "another build: within 1e-12") << ")\n";
  return 0;
}

}  // namespace tessarin::analyze::commands
